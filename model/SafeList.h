#pragma once
// TSafeList: an ordered list that owns its objects and frees those it still
// holds, last to first, when it is cleared or destroyed. The model's owning
// lists (cross sections, circuits, conductors, points of interest) are built on
// it; iteration and indexing give the objects themselves, not pointers. An
// index outside the list, or a missing object, throws (std::out_of_range,
// std::invalid_argument) in every build rather than touching other memory.

#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvalt {

template <typename T> class TSafeList {
    using Storage = std::vector<std::unique_ptr<T>>;

    // Iterator over the owned objects that dereferences to T& (or const T&).
    template <typename Base, typename Value> class Iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::remove_const_t<Value>;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iterator() = default;
        explicit Iterator(Base it) : it_(it) {}
        reference operator*() const { return **it_; }
        pointer operator->() const { return it_->get(); }
        Iterator& operator++() {
            ++it_;
            return *this;
        }
        Iterator operator++(int) { return Iterator(it_++); }
        Iterator& operator--() {
            --it_;
            return *this;
        }
        Iterator operator--(int) { return Iterator(it_--); }
        Iterator& operator+=(difference_type n) {
            it_ += n;
            return *this;
        }
        Iterator& operator-=(difference_type n) {
            it_ -= n;
            return *this;
        }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return a.it_ - b.it_;
        }
        reference operator[](difference_type n) const { return *it_[n]; }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.it_ == b.it_; }
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.it_ <=> b.it_; }

      private:
        Base it_{};
    };

  public:
    using iterator = Iterator<typename Storage::iterator, T>;
    using const_iterator = Iterator<typename Storage::const_iterator, const T>;

    TSafeList() = default;
    TSafeList(const TSafeList&) = delete;
    TSafeList& operator=(const TSafeList&) = delete;
    TSafeList(TSafeList&& other) noexcept : items_(std::move(other.items_)) {
        other.items_.clear();
    }
    TSafeList& operator=(TSafeList&& other) noexcept {
        if (this != &other) {
            Clear();
            items_ = std::move(other.items_);
            other.items_.clear();
        }
        return *this;
    }
    ~TSafeList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    T& operator[](int index) { return At(index); }
    const T& operator[](int index) const { return At(index); }
    T& At(int index) { return *items_[Checked(index)]; }
    const T& At(int index) const { return *items_[Checked(index)]; }

    // Appends the object and returns its index.
    int Add(std::unique_ptr<T> item) {
        if (item == nullptr) throw std::invalid_argument("TSafeList: no object to add");
        items_.push_back(std::move(item));
        return Count() - 1;
    }

    // Inserts the object before position index (0..Count()).
    void Insert(int index, std::unique_ptr<T> item) {
        if (item == nullptr) throw std::invalid_argument("TSafeList: no object to insert");
        if (index != Count()) Checked(index);
        items_.insert(items_.begin() + index, std::move(item));
    }

    // Takes the object out of the list without freeing it.
    std::unique_ptr<T> Extract(int index) {
        std::unique_ptr<T> item = std::move(items_[Checked(index)]);
        items_.erase(items_.begin() + index);
        return item;
    }

    // Takes the object out of the list and frees it.
    void Delete(int index) { Extract(index).reset(); }

    // Index of the object, or -1 when the list does not hold it.
    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item) return static_cast<int>(i);
        return -1;
    }

    void Exchange(int a, int b) { std::swap(items_[Checked(a)], items_[Checked(b)]); }

    // Frees every object, last to first. An object that looks at the list while
    // it is freed sees only the objects before it.
    void Clear() {
        while (!items_.empty()) {
            std::unique_ptr<T> last = std::move(items_.back());
            items_.pop_back();
            last.reset();
        }
    }

    iterator begin() { return iterator(items_.begin()); }
    iterator end() { return iterator(items_.end()); }
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

  private:
    std::size_t Checked(int index) const {
        if (index < 0 || index >= Count())
            throw std::out_of_range("TSafeList: index " + std::to_string(index) + " of a list of " +
                                    std::to_string(Count()));
        return static_cast<std::size_t>(index);
    }

    Storage items_;
};

} // namespace corvalt
