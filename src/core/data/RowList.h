#pragma once

#include <QString>
#include <memory>
#include <vector>

// The ordered list behind every collection class: rows owned by the list, positions counted from 1,
// an optional text key per row (compared case-insensitively, as the windows' keys always were).
// Range-for walks the rows in list order and yields the row objects themselves.
template <class T> class RowList {
    struct Entry {
        std::unique_ptr<T> row;
        QString key;
    };
    using Storage = std::vector<Entry>;

public:
    class iterator {
    public:
        explicit iterator(typename Storage::const_iterator it) : m_it(it) {}
        T& operator*() const { return *m_it->row; }
        T* operator->() const { return m_it->row.get(); }
        iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const iterator& other) const { return m_it != other.m_it; }

    private:
        typename Storage::const_iterator m_it;
    };

    RowList() = default;
    RowList(const RowList&) = delete;
    RowList& operator=(const RowList&) = delete;

    // Appends the row; an empty key stores it without one. A key already in the list is refused
    // (nullptr, nothing appended), since a key must name one row.
    T* append(std::unique_ptr<T> row, const QString& key = QString()) {
        if (!key.isEmpty() && indexOf(key) >= 0)
            return nullptr;
        m_rows.push_back({std::move(row), key});
        return m_rows.back().row.get();
    }

    // The row at a position from 1; nullptr outside the list.
    T* Item(int position) const {
        return position >= 1 && position <= Count() ? m_rows[size_t(position - 1)].row.get() : nullptr;
    }
    // The row stored under a key; nullptr when no row has it.
    T* Item(const QString& key) const {
        const int i = indexOf(key);
        return i >= 0 ? m_rows[size_t(i)].row.get() : nullptr;
    }
    int Count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void Remove(int position) {
        if (position >= 1 && position <= Count())
            m_rows.erase(m_rows.begin() + (position - 1));
    }
    void Remove(const QString& key) {
        const int i = indexOf(key);
        if (i >= 0)
            m_rows.erase(m_rows.begin() + i);
    }
    void clear() { m_rows.clear(); }

    iterator begin() const { return iterator(m_rows.cbegin()); }
    iterator end() const { return iterator(m_rows.cend()); }

private:
    int indexOf(const QString& key) const {
        if (key.isEmpty())
            return -1;
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].key.compare(key, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    Storage m_rows;
};
