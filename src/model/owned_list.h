// The ordered child lists of the project tree: a sequence of owned pointers. A vector rather
// than a deque: the lists are short, and libstdc++ allocates an empty deque's first block on
// construction, which scattered the nodes of a large tree and made walking it twice as slow.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

template <typename T> class COwnedList
{
public:
    using Storage = std::vector<std::unique_ptr<T>>;

    COwnedList() = default;
    COwnedList(const COwnedList&) = delete;
    COwnedList& operator=(const COwnedList&) = delete;
    // Children are destroyed in list order.
    ~COwnedList() { DeleteAll(); }

    // Iterates the elements as plain pointers (views; the list keeps owning them).
    class Iterator
    {
    public:
        explicit Iterator(typename Storage::const_iterator at) : at(at) {}
        T* operator*() const { return at->get(); }
        Iterator& operator++()
        {
            ++at;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return at != other.at; }
        bool operator==(const Iterator& other) const { return at == other.at; }

    private:
        typename Storage::const_iterator at;
    };

    Iterator begin() const { return Iterator(items.begin()); }
    Iterator end() const { return Iterator(items.end()); }
    std::size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    T* operator[](std::size_t index) const { return items[index].get(); }
    T* front() const { return items.front().get(); }
    T* back() const { return items.back().get(); }

    // Takes ownership of a node and appends it.
    void Append(T* node) { items.emplace_back(node); }
    // Takes ownership of a node and puts it at `index` (at the end when beyond it).
    void Insert(T* node, std::size_t index)
    {
        items.emplace(items.begin() + static_cast<std::ptrdiff_t>(std::min(index, items.size())),
                      node);
    }
    // The position of `node`, or size() when it is not in the list.
    std::size_t IndexOf(const T* node) const
    {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].get() == node) return i;
        }
        return items.size();
    }

    // Unlinks the first element equal to `node` without destroying it; the caller owns it again.
    // Returns false when it is not in the list.
    bool Remove(const T* node)
    {
        auto it = Find(node);
        if (it == items.end()) return false;
        it->release();
        items.erase(it);
        return true;
    }

    // Unlinks and destroys; nothing when `node` is not in the list.
    void Destroy(const T* node)
    {
        auto it = Find(node);
        if (it != items.end()) items.erase(it);
    }

    // Destroys every element in list order, then empties the list.
    void DeleteAll()
    {
        for (auto& item : items)
            item.reset();
        items.clear();
    }

    // Unlinks `node` (if present) and inserts it right after `after`, or at the front when
    // `after` is null. `after` must be null or another element of this list; any other `after`
    // puts the node at the end rather than outside the list.
    void MoveAfter(T* node, const T* after)
    {
        Remove(node);
        auto position = items.begin();
        if (after) {
            position = Find(after);
            if (position != items.end()) ++position;
        }
        items.emplace(position, node);
    }

private:
    typename Storage::iterator Find(const T* node)
    {
        return std::find_if(items.begin(), items.end(),
                            [node](const std::unique_ptr<T>& item) { return item.get() == node; });
    }

    Storage items;
};
