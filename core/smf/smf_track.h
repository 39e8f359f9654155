// Reads the events of one MTrk chunk, leniently: damaged events are skipped or end the track.
#pragma once

#include "smf_file.h"
#include "smf_problems.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::smf {

struct TrackEnd {
    bool endOfTrack = false; // an End-of-Track meta event was read
    size_t pos = 0;          // offset just after the last byte read
};

// Appends the events found in bytes [begin, end) of data to events. track is the chunk's index (0-based).
TrackEnd ReadTrack(const uint8_t *data, size_t begin, size_t end, uint16_t track, std::vector<Event> &events,
                   ProblemLog &log);

} // namespace tw::smf
