// The message texts of the windows.
#include "ui/texts.h"

namespace dwellmark::ui::texts {

std::string supportAddress() {
    return DWELLMARK_SUPPORT_EMAIL;
}

std::string hideMeMessage() {
    return "Please email " + supportAddress() +
           " if you would like this feature added (so that user can not see this program running).";
}

std::string failureMessage(const std::string& what) {
    return "Dwellmark has to stop: " + what;
}

} // namespace dwellmark::ui::texts
