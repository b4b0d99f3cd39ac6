// One buffer for the page to read a frame from, rather than an accessor per
// number: about six thousand doubles for the program's frame.
#include "packed_record.h"

#include <cstddef>
#include <string>
#include <type_traits>

namespace {

template <std::size_t N>
constexpr int sum(const int (&sizes)[N])
{
    int total = 0;
    for (const int size : sizes) {
        total += size;
    }
    return total;
}

#define WALKER_FIELD_SIZE(name, size, value) size,
constexpr int HEADER_SIZES[] = {WALKER_RECORD_HEADER(WALKER_FIELD_SIZE)};
constexpr int CALL_SIZES[] = {WALKER_RECORD_CALL(WALKER_FIELD_SIZE)};
#undef WALKER_FIELD_SIZE
constexpr int HEADER_SIZE = sum(HEADER_SIZES);
constexpr int CALL_SIZE = sum(CALL_SIZES);

std::array<double, HEADER_SIZE + MAX_RECORDED_CALLS * CALL_SIZE> packed;
bool packedAny = false;
unsigned packedNumber = 0;

// A number, or the first size elements of an array.
template <typename Value>
void put(double*& out, const Value& value, int size)
{
    if constexpr (std::is_arithmetic_v<Value>) {
        static_cast<void>(size);
        *out++ = static_cast<double>(value);
    } else {
        for (int i = 0; i < size; ++i) {
            *out++ = static_cast<double>(value[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace

const double* packedRecord(const RecordedFrame& f)
{
    if (packedAny && packedNumber == f.number) {
        return packed.data();
    }
    const double length = HEADER_SIZE + f.count * CALL_SIZE;
    const auto startTop = static_cast<std::size_t>(f.start.modelviewTop);
    double* out = packed.data();
#define WALKER_PUT(name, size, value) put(out, value, size);
    WALKER_RECORD_HEADER(WALKER_PUT)
    for (int i = 0; i < f.count; ++i) {
        const RecordedCall& c = f.calls[static_cast<std::size_t>(i)];
        WALKER_RECORD_CALL(WALKER_PUT)
    }
#undef WALKER_PUT
    packedAny = true;
    packedNumber = f.number;
    return packed.data();
}

const char* recordFormat()
{
    // The lists' strings, and the routines' names and files, hold no quote or
    // backslash: they go into JSON as they are.
    static const std::string format = [] {
        std::string json = "{\"header\":[";
#define WALKER_FIELD_JSON(name, size, value) json += "[\"" #name "\"," + std::to_string(size) + "],";
        WALKER_RECORD_HEADER(WALKER_FIELD_JSON)
        json.back() = ']';
        json += ",\"call\":[";
        WALKER_RECORD_CALL(WALKER_FIELD_JSON)
#undef WALKER_FIELD_JSON
        json.back() = ']';
        json += ",\"calls\":[";
#define WALKER_CALL_JSON(id, name, arguments, words, made) json += "[\"" #name "\",\"" arguments "\",\"" words "\"],";
        WALKER_TRACED_CALLS(WALKER_CALL_JSON)
#undef WALKER_CALL_JSON
        json.back() = ']';
        json += ",\"routines\":[";
        for (int i = 0; i < TRACED_ROUTINE_COUNT; ++i) {
            const TracedRoutine& r = TRACED_ROUTINES[i];
            json += std::string(i > 0 ? "," : "") + "[\"" + r.name + "\",\"" + r.file + "\"," + std::to_string(r.line) +
                    "]";
        }
        return json + "]}";
    }();
    return format.c_str();
}
