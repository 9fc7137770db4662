#pragma once

#include "data/DataChanges.h"
#include "data/cConnection.h"

#include <QSet>
#include <QStringList>
#include <memory>
#include <tuple>
#include <utility>

namespace allleagues {

struct Reading;
struct RaceRows;

// The (league, race) pairs where every member team of the league (of those that exist) has a
// summary row.
struct CompleteSummaries {
    QSet<std::pair<int, int>> pairs;
    // What it is read from; stated beside the reading.
    static const QStringList tables;
};

} // namespace allleagues

// What one posting leaves for the next to go by instead of reading it again, kept by the connection
// it was read through. Read at every posting, the season's summaries made a race cost more the later it
// was in the season (11 ms at race 30 of bench/posting), the leagues' members and holdings took 6 to
// 7 ms of every posting, and the previous race's rows a twentieth of it. Each part is a reading whose type states the
// tables it is read from (T::tables); it holds only while nothing but the postings that keep it up to date writes them:
// after any other commit of their rows (DataChanges) that part is gone, and all of it when the connection closes.
class PostingMemory final : public ConnectionMemory {
public:
    PostingMemory();
    ~PostingMemory() override;
    PostingMemory(PostingMemory&&) noexcept;
    PostingMemory& operator=(PostingMemory&&) noexcept;

    // The part, or nullptr when it is not known.
    template <class T> T* known() { return std::get<Part<T>>(m_parts).value.get(); }
    // The part, begun empty when it was not known.
    template <class T> T& keep() {
        std::unique_ptr<T>& value = std::get<Part<T>>(m_parts).value;
        if (!value)
            value = std::make_unique<T>();
        return *value;
    }

    // Forgets what was known of the race's summaries, which were removed.
    void forgetRace(int raceNmbr);

    // What the connection keeps, of each part that still holds; until put back, it keeps nothing.
    static PostingMemory take(cConnection& connection);
    // Keeps what is known once the writes that made it so are committed; nothing may have been written
    // since that commit.
    static void put(cConnection& connection, PostingMemory memory);

private:
    template <class T> struct Part {
        std::unique_ptr<T> value;
        quint64 keptAt = 0; // the last change to T::tables when it was put back
        void mark() { keptAt = dataChanges().lastChangeOf(T::tables); }
        void forgetIfWritten() {
            if (dataChanges().lastChangeOf(T::tables) != keptAt)
                value.reset();
        }
    };
    // Every part, so that take and put check and mark each of them.
    std::tuple<Part<allleagues::CompleteSummaries>, Part<allleagues::Reading>, Part<allleagues::RaceRows>> m_parts;
};
