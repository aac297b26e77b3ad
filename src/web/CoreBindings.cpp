// The core's search, scan, pointer references, ROM facts and run map for the page, through
// embind. Each function is a thin call into src/search (and the command line's own printer for
// the scan list); offsets and lengths travel as JavaScript numbers, exact below 2^53. `known` is
// always an array of the paths of the build files whose data is never free (empty for none).
#include <emscripten/bind.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "search/BuildFiles.h"
#include "search/KnownData.h"
#include "search/MapGrid.h"
#include "search/Pointers.h"
#include "search/RomFacts.h"
#include "search/RunMap.h"
#include "search/SearchQuery.h"
#include "search/WordSieve.h"
#include "web/Failure.h"

namespace gapwell::web {

namespace {

using emscripten::val;

val Offsets(const std::vector<std::int64_t>& offsets) {
    val list = val::array();
    for (const std::int64_t offset : offsets) {
        list.call<void>("push", static_cast<double>(offset));
    }
    return list;
}

val ReferencesObject(const RangePointers& references) {
    val object = val::object();
    object.set("atStart", Offsets(references.atStart));
    object.set("atStartCount", static_cast<double>(references.atStartCount));
    object.set("inside", static_cast<double>(references.inside));
    return object;
}

std::vector<std::string> Paths(const val& array) {
    return emscripten::vecFromJSArray<std::string>(array);
}

// The known data of the build files `knownFiles` names, as `gapwell find --known` reads it.
KnownData KnownOf(const std::string& path, int filler, const val& knownFiles) {
    return ReadKnownData(path, static_cast<std::uint8_t>(filler), Paths(knownFiles));
}

// "Search": the first result from `start`, 0 for nothing, as `gapwell find` gives it.
val Search(const std::string& path, int filler, int needed, double start, int align,
           const val& knownFiles) {
    return Reporting([&] {
        SearchQuery search({static_cast<std::uint8_t>(filler), needed,
                            static_cast<std::int64_t>(start), 0, align});
        const KnownData known = KnownOf(path, filler, knownFiles);
        return val(search.Search(search.In(path, known)).value_or(0));
    });
}

// "Find next" after `lastResult`, 0 for nothing.
val FindNext(const std::string& path, int filler, int needed, double lastResult, double interval,
             int align, const val& knownFiles) {
    return Reporting([&] {
        SearchQuery search({static_cast<std::uint8_t>(filler), needed, 0,
                            static_cast<std::int64_t>(interval), align},
                           static_cast<std::int64_t>(lastResult));
        const KnownData known = KnownOf(path, filler, knownFiles);
        return val(search.FindNext(search.In(path, known)).value_or(0));
    });
}

// How many marks the build file at `path` holds in the ROM's address space, as the window's label
// counts them; its one-line refusal when it is no build file or a malformed one.
val BuildFileMarks(const std::string& path) {
    return Reporting([&] { return val(static_cast<double>(ReadBuildFile(path).marks.size())); });
}

// The words pointing at [offset, offset + length), the first `listLimit` of them listed.
val ReferencesOf(const std::string& path, double offset, double length, int listLimit) {
    return Reporting([&] {
        const auto first = static_cast<std::int64_t>(offset);
        return ReferencesObject(FindPointers(path,
                                             {{first, first + static_cast<std::int64_t>(length)}},
                                             static_cast<std::size_t>(listLimit))[0]);
    });
}

// A string buffer that refuses what would take it past `limit` bytes.
class BoundedText : public std::stringbuf {
  public:
    explicit BoundedText(std::streamsize limit) : left_(limit) {}

  protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (count > left_) {
            return 0;
        }
        left_ -= count;
        return std::stringbuf::xsputn(text, count);
    }
    int_type overflow(int_type c) override {
        if (left_ < 1) {
            return traits_type::eof();
        }
        --left_;
        return std::stringbuf::overflow(c);
    }

  private:
    std::streamsize left_;
};

// `gapwell scan ROM --refs --json` with these options, printed by the command line's own code;
// {tooLong: true} instead when the list would pass `limit` bytes (a hostile ROM can hold
// millions of runs, more than a page can show).
val ScanJson(const std::string& path, int filler, int needed, int align, double limit,
             const val& known) {
    return Reporting([&] {
        BoundedText text(static_cast<std::streamsize>(limit));
        std::ostream out(&text);
        try {
            cli::RunScan(
                {path, static_cast<std::uint8_t>(filler), needed, align, true, true, Paths(known)},
                out);
        } catch (const cli::OutputFailed&) {
            val tooLong = val::object();
            tooLong.set("tooLong", true);
            return tooLong;
        }
        return val(text.str());
    });
}

// The line "header check: ..." as `gapwell info` prints it; empty for a file too short to have one.
std::string HeaderCheckLine(const std::string& path) {
    std::ostringstream out;
    std::ostringstream warnings;
    cli::RunInfo({path, false, {}}, out, warnings);
    std::istringstream lines(out.str());
    constexpr std::string_view kLabel = "header check: ";
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kLabel)) {
            return line;
        }
    }
    return {};
}

// What the page shows of a ROM, and what it warns about: a file shorter than a header, a header
// whose check is wrong, a file larger than the 32 MiB a GBA addresses.
val Facts(const std::string& path) {
    return Reporting([&] {
        const RomFacts facts = ReadRomFacts(path);
        val object = val::object();
        object.set("length", static_cast<double>(facts.length));
        object.set("title", facts.title);
        object.set("gameCode", facts.gameCode);
        object.set("makerCode", facts.makerCode);
        object.set("headerCheck", HeaderCheckLine(path));
        object.set("headerComplete", facts.headerComplete);
        object.set("headerCheckOk", facts.headerCheck.has_value() && facts.headerCheck->Ok());
        object.set("largerThanGba", facts.length > kRomBases[1] - kRomBases[0]);
        return object;
    });
}

// The run map of one ROM and filler byte, kept in the worker between a layout and the next.
class MapModel {
  public:
    val Scan(const std::string& path, int filler, const val& knownFiles) {
        return Reporting([&] {
            map_ = RunMap::Scan(path, static_cast<std::uint8_t>(filler),
                                ReadKnownMarks(Paths(knownFiles)));
            return val::undefined();
        });
    }

    double RomSize() const { return static_cast<double>(map_.RomSize()); }

    // A power of two, so that with a power of two of columns every row starts at a round offset.
    double BytesPerCell(double cellCount) const {
        return static_cast<double>(std::bit_ceil(static_cast<std::uint64_t>(
            MapBytesPerCell(map_.RomSize(), static_cast<std::int64_t>(cellCount)))));
    }

    // The cell classes as numbers (0 data, 1 too short, 2 pointed at, 3 usable, 4 known data).
    val Cells(double bytesPerCell, double needed, double alignment) const {
        const std::vector<CellClass> cells =
            map_.Cells(static_cast<std::int64_t>(bytesPerCell), static_cast<std::int64_t>(needed),
                       static_cast<std::int64_t>(alignment));
        val array = val::global("Uint8Array").new_(cells.size());
        array.call<void>("set",
                         val(emscripten::typed_memory_view(
                             cells.size(), reinterpret_cast<const std::uint8_t*>(cells.data()))));
        return array;
    }

    // The longest run with a byte in [first, end): its aligned part, where Search would start for
    // it, and the words pointing at it; null when there is none.
    val RunIn(double first, double end, double needed, double alignment) const {
        const auto align = static_cast<std::int64_t>(alignment);
        const FreeRun* run = map_.LongestRunIn(static_cast<std::int64_t>(first),
                                               static_cast<std::int64_t>(end), align);
        if (run == nullptr) {
            return val::null();
        }
        const FreeRun part = AlignedPart(*run, align);
        val object = ReferencesObject(map_.ReferencesOf(*run));
        object.set("offset", static_cast<double>(part.offset));
        object.set("length", static_cast<double>(part.length));
        const auto start = SearchStartFor(part, static_cast<std::int64_t>(needed), align);
        object.set("searchStart", start ? val(static_cast<double>(*start)) : val::null());
        return object;
    }

    val Totals(double needed, double alignment) const {
        const MapTotals totals =
            map_.Totals(static_cast<std::int64_t>(needed), static_cast<std::int64_t>(alignment));
        val object = val::object();
        object.set("usableRuns", static_cast<double>(totals.usableRuns));
        object.set("usableBytes", static_cast<double>(totals.usableBytes));
        object.set("largestOffset", static_cast<double>(totals.largest.offset));
        object.set("largestLength", static_cast<double>(totals.largest.length));
        return object;
    }

    // The name of the smallest mark of known data in [first, end), null when there is none.
    val KnownNameIn(double first, double end) const {
        const std::string* name =
            map_.KnownNameIn(static_cast<std::int64_t>(first), static_cast<std::int64_t>(end));
        return name == nullptr ? val::null() : val(*name);
    }

  private:
    RunMap map_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(gapwell_core) {
    emscripten::function("search", &Search);
    emscripten::function("findNext", &FindNext);
    emscripten::function("referencesOf", &ReferencesOf);
    emscripten::function("scanJson", &ScanJson);
    emscripten::function("romFacts", &Facts);
    emscripten::function("buildFileMarks", &BuildFileMarks);
    emscripten::class_<MapModel>("MapModel")
        .constructor<>()
        .function("scan", &MapModel::Scan)
        .function("romSize", &MapModel::RomSize)
        .function("bytesPerCell", &MapModel::BytesPerCell)
        .function("cells", &MapModel::Cells)
        .function("runIn", &MapModel::RunIn)
        .function("totals", &MapModel::Totals)
        .function("knownNameIn", &MapModel::KnownNameIn);
}

}  // namespace gapwell::web
