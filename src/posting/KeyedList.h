#pragma once

#include <QString>
#include <memory>
#include <vector>

// The ordered list behind the row collections: rows by 1-based position or by an optional text key,
// in the order they were added. Range-for yields the rows themselves.
template <class T>
class KeyedList {
    struct Entry {
        std::unique_ptr<T> row;
        QString key;
    };

public:
    class iterator {
    public:
        using Base = typename std::vector<Entry>::const_iterator;
        explicit iterator(Base it) : m_it(it) {}
        T& operator*() const { return *m_it->row; }
        T* operator->() const { return m_it->row.get(); }
        iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const iterator& other) const { return m_it != other.m_it; }

    private:
        Base m_it;
    };

    // Appends the row; an empty key stores it without one.
    T& append(std::unique_ptr<T> row, const QString& key) {
        m_entries.push_back(Entry{std::move(row), key});
        return *m_entries.back().row;
    }
    // 1-based; a position outside the list is a caller's fault (std::out_of_range).
    T& at(int index) const { return *m_entries.at(std::size_t(index - 1)).row; }
    // The row stored under the key, or nullptr.
    T* find(const QString& key) const {
        if (key.isEmpty())
            return nullptr;
        for (const Entry& e : m_entries)
            if (e.key == key)
                return e.row.get();
        return nullptr;
    }
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    void remove(int index) {
        if (index >= 1 && index <= count())
            m_entries.erase(m_entries.begin() + (index - 1));
    }
    void remove(const QString& key) {
        if (key.isEmpty())
            return;
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->key == key) {
                m_entries.erase(it);
                return;
            }
    }
    void clear() { m_entries.clear(); }

    iterator begin() const { return iterator(m_entries.cbegin()); }
    iterator end() const { return iterator(m_entries.cend()); }

private:
    std::vector<Entry> m_entries;
};
