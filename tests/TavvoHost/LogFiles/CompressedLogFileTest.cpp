#include "TavvoHost/LogFiles/CompressedLogFile.hpp"

#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>
#include <zstd.h>

#include <fmt/format.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using TavvoHost::CompressedLogFile;
using Outcome = TavvoHost::LogFileRead::Outcome;
using Lines = std::vector<std::string>;

TEST(CompressedLogFile, ReadsTheWholeFileOnlyWhenItChanged)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl.zst";
    writeFile(path, compressed("a\nb\nlast without newline"));
    CompressedLogFile file;
    CollectedLines collected;
    EXPECT_EQ(file.read(path, collected).outcome, Outcome::read);
    EXPECT_EQ(collected.lines, (Lines { "a", "b", "last without newline" }));
    EXPECT_EQ(file.read(path, collected).outcome, Outcome::unchanged);

    writeFile(path, compressed("a\nb\nc\nd\n"));
    CollectedLines again;
    auto const result = file.read(path, again);
    EXPECT_TRUE(result.fromStart);
    EXPECT_EQ(again.starts, 1);
    EXPECT_EQ(again.lines, (Lines { "a", "b", "c", "d" }));
}

TEST(CompressedLogFile, ReadsLinesAcrossChunksWhole)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl.zst";
    auto const lines = linesOverSeveralChunks();
    writeFile(path, compressed(joinedLines(lines)));
    CompressedLogFile file;
    CollectedLines collected;
    auto const result = file.read(path, collected);
    EXPECT_EQ(result.outcome, Outcome::read);
    EXPECT_EQ(collected.lines, lines);
    EXPECT_EQ(result.lines, static_cast<std::int64_t>(lines.size()));
}

TEST(CompressedLogFile, ReportsDamagedTruncatedAndEndlessData)
{
    TemporaryDirectory folder;

    // Enough lines for several blocks: those before the cut stand.
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += fmt::format("{{\"line\":{},\"text\":\"{}\"}}\n", i, i * 7919 % 104729);
    auto frame = compressed(text);
    frame.resize(frame.size() - 64);
    auto const truncatedPath = folder.path() / "truncated.jsonl.zst";
    writeFile(truncatedPath, frame);
    CollectedLines truncatedLines;
    EXPECT_EQ(CompressedLogFile().read(truncatedPath, truncatedLines).outcome, Outcome::truncated);
    EXPECT_GT(truncatedLines.lines.size(), 0u);
    EXPECT_LT(truncatedLines.lines.size(), 40000u);

    auto const damagedPath = folder.path() / "damaged.jsonl.zst";
    writeFile(damagedPath, "{\"not\":\"compressed\"}\n");
    CollectedLines damagedLines;
    EXPECT_EQ(CompressedLogFile().read(damagedPath, damagedLines).outcome, Outcome::corrupt);

    // 600 MiB of zeros shrink to a few kilobytes; reading stops at the cap.
    auto const bombPath = folder.path() / "bomb.jsonl.zst";
    {
        std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> context(ZSTD_createCCtx(), ZSTD_freeCCtx);
        std::string const zeros(1 << 20, '\0');
        std::string bomb;
        std::vector<char> out(ZSTD_CStreamOutSize());
        for (int i = 0; i < 600; ++i) {
            ZSTD_inBuffer in { zeros.data(), zeros.size(), 0 };
            auto const mode = i == 599 ? ZSTD_e_end : ZSTD_e_continue;
            for (std::size_t left = 1; left != 0 || in.pos < in.size;) {
                ZSTD_outBuffer buffer { out.data(), out.size(), 0 };
                left = ZSTD_compressStream2(context.get(), &buffer, &in, mode);
                ASSERT_FALSE(ZSTD_isError(left));
                bomb.append(out.data(), buffer.pos);
                if (mode == ZSTD_e_continue)
                    left = 0;
            }
        }
        writeFile(bombPath, bomb);
    }
    CollectedLines bombLines;
    auto const bomb = CompressedLogFile().read(bombPath, bombLines);
    EXPECT_EQ(bomb.outcome, Outcome::capped);
    EXPECT_EQ(bomb.overlongLines, 1);
    EXPECT_TRUE(bombLines.lines.empty());
}

}
