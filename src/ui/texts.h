// The captions and message texts of the windows, shared by every front end.
#pragma once

#include <string>

namespace dwellmark::ui::texts {

/// The main window's caption, and the title of its message boxes.
inline constexpr const char* mainWindowCaption = "Dwellmark";
/// The chart window's caption.
inline constexpr const char* chartWindowCaption = "Chart";
/// The captions of the check boxes.
inline constexpr const char* displayChartCaption = "Display Chart";
inline constexpr const char* hideMeCaption = "Hide Me";
/// The items of a list's context menu: the selected row, and every row; "&"
/// marks the access key. Ctrl+C copies the selected row too, and the menu says so.
inline constexpr const char* copyCaption = "&Copy";
inline constexpr const char* copyAllCaption = "Copy &All";
inline constexpr const char* copyShortcut = "Ctrl+C";
/// The pointer file, looked for in the program's folder.
inline constexpr const char* pointerFileName = "HAND-M.CUR";

/// The address users write to for help and requests.
std::string supportAddress();

/// The answer to "Hide Me", naming the support address.
std::string hideMeMessage();

/// The line a failure that nothing caught is reported with.
std::string failureMessage(const std::string& what);

} // namespace dwellmark::ui::texts
