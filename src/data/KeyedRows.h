#pragma once

#include <QString>
#include <iterator>
#include <memory>
#include <vector>

// The ordered list behind the collection classes: rows by 1-based position, optionally also by a
// text key. The list owns its rows; Item hands out a pointer that stays valid until the row is
// removed or the list is destroyed.
template <class T>
class KeyedRows {
    struct Entry {
        QString key;
        std::unique_ptr<T> row;
    };
    using Entries = std::vector<Entry>;

public:
    // Range-for over the rows themselves (T&), in list order.
    template <class It, class V>
    class basic_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = V;
        using difference_type = std::ptrdiff_t;
        using pointer = V*;
        using reference = V&;

        basic_iterator() = default;
        explicit basic_iterator(It it) : m_it(it) {}
        reference operator*() const { return *m_it->row; }
        pointer operator->() const { return m_it->row.get(); }
        basic_iterator& operator++() {
            ++m_it;
            return *this;
        }
        basic_iterator operator++(int) {
            basic_iterator old = *this;
            ++m_it;
            return old;
        }
        friend bool operator==(const basic_iterator& a, const basic_iterator& b) { return a.m_it == b.m_it; }

    private:
        It m_it{};
    };
    using iterator = basic_iterator<typename Entries::iterator, T>;
    using const_iterator = basic_iterator<typename Entries::const_iterator, const T>;

    // Appends the row; a key that is not empty must be new to the list, else nothing is added and
    // the result is nullptr.
    T* add(std::unique_ptr<T> row, const QString& key) {
        if (!key.isEmpty() && find(key) != m_entries.end())
            return nullptr;
        m_entries.push_back({key, std::move(row)});
        return m_entries.back().row.get();
    }
    // nullptr for a position outside 1..count() or an unknown key.
    T* item(int position) const {
        return position >= 1 && position <= count() ? m_entries[std::size_t(position - 1)].row.get() : nullptr;
    }
    T* item(const QString& key) const {
        auto it = find(key);
        return it == m_entries.end() ? nullptr : it->row.get();
    }
    int count() const { return int(m_entries.size()); }
    bool remove(int position) {
        if (position < 1 || position > count())
            return false;
        m_entries.erase(m_entries.begin() + (position - 1));
        return true;
    }
    bool remove(const QString& key) {
        auto it = find(key);
        if (it == m_entries.end())
            return false;
        m_entries.erase(it);
        return true;
    }
    void clear() { m_entries.clear(); }

    iterator begin() { return iterator(m_entries.begin()); }
    iterator end() { return iterator(m_entries.end()); }
    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

private:
    typename Entries::const_iterator find(const QString& key) const {
        if (key.isEmpty())
            return m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->key == key)
                return it;
        return m_entries.end();
    }

    Entries m_entries;
};
