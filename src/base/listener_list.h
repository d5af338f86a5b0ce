// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listeners of one control, in the order they were added.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace kavrin {

template <typename Listener> class ListenerList {
public:
    void Add(Listener* listener) { listeners_.push_back(listener); }
    void Remove(Listener* listener) {
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                         listeners_.end());
    }
    std::size_t size() const { return listeners_.size(); }

    // Runs f for every listener. A listener may remove itself or others while
    // the event runs (editors are dropped and re-created from their own
    // events): those removed are not called any more.
    template <typename F> void Raise(F f) {
        const auto snapshot = listeners_;
        for (Listener* l : snapshot)
            if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) f(*l);
    }

private:
    std::vector<Listener*> listeners_;
};

} // namespace kavrin
