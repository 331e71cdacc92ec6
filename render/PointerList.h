// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

namespace glassfalls {

// A growable list of object pointers with a cursor that searches may leave behind.
// PointerList never owns what it points to.
template <typename T>
class PointerList {
public:
    virtual ~PointerList() = default;

    virtual void add(T* item) { items_.push_back(item); }

    virtual void removeAt(int index) {
        assert(index >= 0 && index < size() && "removeAt: index outside the list");
        items_.erase(items_.begin() + index);
    }

    virtual void clear() {
        while (!items_.empty()) removeAt(0);
    }

    virtual int indexOf(const T* item) const {
        for (int i = 0; i < size(); ++i) {
            if (items_[static_cast<std::size_t>(i)] == item) return i;
        }
        return -1;
    }

    int size() const { return static_cast<int>(items_.size()); }
    T* at(int index) const {
        assert(index >= 0 && index < size() && "at: index outside the list");
        return items_[static_cast<std::size_t>(index)];
    }

    int cursor = 0;

protected:
    std::vector<T*> items_;
};

// A PointerList that owns its entries: removing one destroys it, and so does the list's own
// destruction, entry 0 first.
template <typename T>
class OwningPointerList : public PointerList<T> {
public:
    OwningPointerList() = default;
    OwningPointerList(const OwningPointerList&) = delete;
    OwningPointerList& operator=(const OwningPointerList&) = delete;
    ~OwningPointerList() override {
        while (this->size() > 0) OwningPointerList::removeAt(0);
    }

    void removeAt(int index) override {
        T* item = this->at(index);
        PointerList<T>::removeAt(index);
        delete item;
    }
};

}  // namespace glassfalls
