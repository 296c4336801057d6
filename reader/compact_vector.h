// A vector that costs one pointer while it is empty: the member lists of block definitions, of which a drawing
// may hold millions with nothing in them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace korvel {

template <class T>
class CompactVector {
public:
    CompactVector() = default;
    CompactVector(std::initializer_list<T> items) {
        if (items.size() > 0) items_ = std::make_unique<std::vector<T>>(items);
    }
    CompactVector(const CompactVector &other) { *this = other; }
    CompactVector(CompactVector &&) noexcept = default;
    CompactVector &operator=(const CompactVector &other) {
        if (this != &other)
            items_ = other.empty() ? nullptr : std::make_unique<std::vector<T>>(other.begin(), other.end());
        return *this;
    }
    CompactVector &operator=(CompactVector &&) noexcept = default;
    ~CompactVector() = default;

    std::size_t size() const { return items_ ? items_->size() : 0; }
    bool empty() const { return size() == 0; }
    std::size_t capacity() const { return items_ ? items_->capacity() : 0; }
    T *data() { return items_ ? items_->data() : nullptr; }
    const T *data() const { return items_ ? items_->data() : nullptr; }
    T *begin() { return data(); }
    T *end() { return data() + size(); }
    const T *begin() const { return data(); }
    const T *end() const { return data() + size(); }
    T &operator[](std::size_t i) { return (*items_)[i]; }
    const T &operator[](std::size_t i) const { return (*items_)[i]; }
    T &front() { return items_->front(); }
    const T &front() const { return items_->front(); }
    T &back() { return items_->back(); }
    const T &back() const { return items_->back(); }

    void reserve(std::size_t count) {
        if (count > 0) Items().reserve(count);
    }
    void assign(std::size_t count, const T &item) {
        if (count == 0) items_.reset();
        else Items().assign(count, item);
    }
    void push_back(const T &item) { Items().push_back(item); }
    void push_back(T &&item) { Items().push_back(std::move(item)); }
    template <class... Arguments>
    T &emplace_back(Arguments &&...arguments) {
        return Items().emplace_back(std::forward<Arguments>(arguments)...);
    }
    void clear() { items_.reset(); }
    // Gives back what growing left unused, and the list itself when it is empty.
    void shrink_to_fit() {
        if (empty()) items_.reset();
        else items_->shrink_to_fit();
    }

    bool operator==(const CompactVector &other) const { return std::equal(begin(), end(), other.begin(), other.end()); }

private:
    std::vector<T> &Items() {
        if (!items_) items_ = std::make_unique<std::vector<T>>();
        return *items_;
    }

    std::unique_ptr<std::vector<T>> items_;
};

}  // namespace korvel
