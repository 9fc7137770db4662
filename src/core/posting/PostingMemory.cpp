#include "posting/PostingMemory.h"

#include "posting/AllLeagues.h"

PostingMemory::PostingMemory() = default;
PostingMemory::~PostingMemory() = default;
PostingMemory::PostingMemory(PostingMemory&&) noexcept = default;
PostingMemory& PostingMemory::operator=(PostingMemory&&) noexcept = default;

void PostingMemory::forgetRace(int raceNmbr) {
    if (auto* complete = known<allleagues::CompleteSummaries>())
        complete->pairs.removeIf([raceNmbr](const std::pair<int, int>& p) { return p.second == raceNmbr; });
    if (auto* rows = known<allleagues::RaceRows>())
        rows->byRace.erase(raceNmbr);
}

PostingMemory PostingMemory::take(cConnection& connection) {
    const std::unique_ptr<ConnectionMemory> kept = std::move(connection.postingMemory());
    auto* memory = dynamic_cast<PostingMemory*>(kept.get());
    if (!memory)
        return {};
    std::apply([](auto&... part) { (part.forgetIfWritten(), ...); }, memory->m_parts);
    return std::move(*memory);
}

void PostingMemory::put(cConnection& connection, PostingMemory memory) {
    std::apply([](auto&... part) { (part.mark(), ...); }, memory.m_parts);
    connection.postingMemory() = std::make_unique<PostingMemory>(std::move(memory));
}
