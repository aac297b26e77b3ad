#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::TempFolder;

// Reads a stretch of the file in pieces of `pieceSize` and returns the pieces handed over.
std::vector<std::vector<std::uint8_t>> Pieces(const std::string& path, std::size_t pieceSize,
                                              std::int64_t offset, std::int64_t size) {
    const ReadOnlyFile file(path);
    PieceReader reader(file, pieceSize);
    std::vector<std::vector<std::uint8_t>> pieces;
    reader.Read(offset, size, [&pieces](const std::uint8_t* piece, std::size_t length) {
        pieces.emplace_back(piece, piece + length);
        return true;
    });
    return pieces;
}

std::vector<std::uint8_t> Counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

TEST(PieceReader, HandsOverTheStretchInOrderAndStopsAtTheEndOfTheFile) {
    TempFolder folder;
    const auto bytes = Counting(100);
    const auto rom = folder.Write("rom.gba", bytes);
    using Bytes = std::vector<std::uint8_t>;
    const auto at = [&bytes](std::size_t from, std::size_t to) {
        return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(to));
    };
    EXPECT_EQ(Pieces(rom, 16, 5, 40), (std::vector<Bytes>{at(5, 21), at(21, 37), at(37, 45)}));
    // One byte past a piece still comes as a piece of its own.
    EXPECT_EQ(Pieces(rom, 16, 0, 17), (std::vector<Bytes>{at(0, 16), at(16, 17)}));
    // A stretch that runs past the end stops there, with no empty piece after a short one.
    EXPECT_EQ(Pieces(rom, 16, 70, 1000), (std::vector<Bytes>{at(70, 86), at(86, 100)}));
    EXPECT_TRUE(Pieces(rom, 16, 500, 10).empty());
    EXPECT_TRUE(Pieces(rom, 16, 0, 0).empty());
}

TEST(PieceReader, StopsWhenTheScanHasSeenEnough) {
    TempFolder folder;
    const auto rom = folder.Write("rom.gba", Counting(100));
    const ReadOnlyFile file(rom);
    PieceReader reader(file, 8);
    int calls = 0;
    reader.Read(0, 100, [&calls](const std::uint8_t*, std::size_t) { return ++calls < 3; });
    EXPECT_EQ(calls, 3);
    // The same reader goes on with another stretch from where that one asks.
    std::vector<std::uint8_t> first;
    reader.Read(50, 100, [&first](const std::uint8_t* piece, std::size_t) {
        first.push_back(piece[0]);
        return true;
    });
    EXPECT_EQ(first, (std::vector<std::uint8_t>{51, 59, 67, 75, 83, 91, 99}));
}

TEST(PieceReader, AFileThatShrinksWhileItIsReadEndsTheStretch) {
    TempFolder folder;
    const auto rom = folder.Write("rom.gba", Counting(1000));
    const ReadOnlyFile file(rom);
    PieceReader reader(file, 100);
    std::vector<std::size_t> sizes;
    reader.Read(0, 1000, [&](const std::uint8_t*, std::size_t size) {
        sizes.push_back(size);
        if (sizes.size() == 2) {
            std::filesystem::resize_file(rom, 250);
        }
        return true;
    });
    EXPECT_EQ(sizes, (std::vector<std::size_t>{100, 100, 50}));
}

}  // namespace
}  // namespace gapwell
