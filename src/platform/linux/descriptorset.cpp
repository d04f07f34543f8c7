// Several descriptors watched as one, for an event loop that watches a single descriptor.
#include "platform/linux/descriptorset.h"

#include <sys/epoll.h>
#include <unistd.h>

namespace dwellmark::platform::linux {

DescriptorSet::DescriptorSet() : m_set(epoll_create1(EPOLL_CLOEXEC)) {}

DescriptorSet::~DescriptorSet() {
    if (m_set >= 0) {
        close(m_set);
    }
}

bool DescriptorSet::add(int descriptor) {
    if (m_set < 0 || descriptor < 0) {
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    return epoll_ctl(m_set, EPOLL_CTL_ADD, descriptor, &event) == 0;
}

void DescriptorSet::remove(int descriptor) {
    if (m_set >= 0 && descriptor >= 0) {
        epoll_ctl(m_set, EPOLL_CTL_DEL, descriptor, nullptr);
    }
}

} // namespace dwellmark::platform::linux
