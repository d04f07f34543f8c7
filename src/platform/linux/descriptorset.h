// Several descriptors watched as one, for an event loop that watches a single descriptor.
#pragma once

namespace dwellmark::platform::linux {

/// An epoll set: its descriptor becomes readable while any descriptor in it
/// is readable. A backend whose reports come on more than one connection
/// gives the set's descriptor to the front end's event loop.
class DescriptorSet final {
public:
    /// Makes the set; descriptor() is -1 when the system refuses one.
    DescriptorSet();
    ~DescriptorSet();

    DescriptorSet(const DescriptorSet&) = delete;
    DescriptorSet& operator=(const DescriptorSet&) = delete;

    /// The set's own descriptor, or -1.
    int descriptor() const { return m_set; }

    /// Watches descriptor for input; a negative one is left out. Whether it
    /// is watched now.
    bool add(int descriptor);
    /// Stops watching descriptor.
    void remove(int descriptor);

private:
    int m_set = -1;
};

} // namespace dwellmark::platform::linux
