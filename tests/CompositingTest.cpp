// Span compositing of every mode and instruction-set level against the pixel format's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "composite/CompositingRenderer.hpp"

namespace {

using namespace ORV::Vudadive2R;

#ifndef VUDADIVE2R_TEST_THINNING
#define VUDADIVE2R_TEST_THINNING 1
#endif

std::vector<SimdLevel> AvailableLevels() {
    std::vector<SimdLevel> levels{SimdLevel::Portable};
    if (BestSimdLevel() >= SimdLevel::Sse2)  // NEON on ARM
        levels.push_back(SimdLevel::Sse2);
    if (BestSimdLevel() >= SimdLevel::Avx2)
        levels.push_back(SimdLevel::Avx2);
    return levels;
}

// The inputs of one pixel a test sweeps: source colour C (straight), source
// alpha A, backdrop component D and backdrop alpha Da. Opaque holds A at 255
// when it is not swept, so that the premultiplied source takes every value.
enum Input { C = 1, A = 2, D = 4, Da = 8, Opaque = 16 };

struct Mode {
    BlendOperation operation;
    unsigned aggOperation;
    // Sets of three inputs swept through all 2^24 values, the fourth varying
    // pseudo-randomly: the first five modes' colour formulas depend on three
    // (the premultiplied source standing for C and A where A plays no other part).
    std::vector<unsigned> sweeps;
};

uint8_t Scramble(uint32_t value) {
    value *= 0x9E3779B1u;
    return uint8_t((value ^ (value >> 15)) >> 7);
}

// Sweeps the three inputs of `sweep` through every value, every `stride`-th
// combination. A and Da are per pixel; C and D take a different value in
// each of the three colour channels, so one pixel checks three combinations.
void Sweep(const Mode& mode, unsigned sweep, uint8_t cover, uint32_t stride) {
    const bool perPixel[2] = {(sweep & A) != 0, (sweep & Da) != 0};
    const bool perChannel[2] = {(sweep & C) != 0, (sweep & D) != 0};
    const uint32_t channelCombinations = perChannel[0] && perChannel[1] ? 65536 : 256;
    const uint32_t pixelsPerGroup = (channelCombinations + 2) / 3;
    const uint32_t groups = perPixel[0] && perPixel[1] ? 65536 : 256;
    const uint64_t total = uint64_t(groups) * pixelsPerGroup;

    const unsigned chunk = 4096;
    std::vector<uint8_t> colors(4 * chunk), backdrop(4 * chunk), expected(4 * chunk), actual(4 * chunk);
    const std::vector<uint8_t> covers(chunk, cover);
    const std::vector<SimdLevel> levels = AvailableLevels();
    for (uint64_t start = 0; start < total; start += uint64_t(chunk) * stride) {
        unsigned count = 0;
        for (uint64_t index = start; index < total && count < chunk; index += stride, ++count) {
            const uint32_t group = uint32_t(index / pixelsPerGroup), local = uint32_t(index % pixelsPerGroup);
            const uint32_t seed = uint32_t(index) * 7;
            uint8_t* color = &colors[4 * count];
            uint8_t* pixel = &backdrop[4 * count];
            color[3] = perPixel[0] ? uint8_t(group) : sweep & Opaque ? 255 : Scramble(seed + 3);
            pixel[3] = perPixel[1] ? uint8_t(perPixel[0] ? group >> 8 : group) : Scramble(seed + 4);
            for (unsigned channel = 0; channel < 3; ++channel) {
                const uint32_t combination = (3 * local + channel) % channelCombinations;
                color[channel] = perChannel[0] ? uint8_t(combination) : Scramble(seed + channel);
                pixel[channel] = perChannel[1] ? uint8_t(perChannel[0] ? combination >> 8 : combination)
                                               : Scramble(seed + 5 + channel);
            }
        }
        expected = backdrop;
        for (unsigned i = 0; i < count; ++i) {
            const uint8_t* color = &colors[4 * i];
            PremultiplyingBlender::blend_pix(mode.aggOperation, &expected[4 * i], color[0], color[1], color[2],
                                             color[3], cover);
        }
        // Every fourth chunk in spans of 1 to 7 pixels: a span's last pixels take a loop of their own.
        const bool inPieces = start / (uint64_t(chunk) * stride) % 4 == 1;
        for (SimdLevel level : levels) {
            actual = backdrop;
            const ColorSpanBlender color = SpanBlendersFor(mode.operation, level).color;
            for (unsigned at = 0, piece = 0, length; at < count; at += length, ++piece) {
                length = inPieces ? std::min(count - at, 1 + piece % 7) : count;
                color(&actual[4 * at], length, &colors[4 * at], &covers[at], 0);
            }
            ASSERT_TRUE(std::equal(expected.begin(), expected.begin() + 4 * count, actual.begin()))
                << "operation " << mode.aggOperation << " level " << SimdLevelName(level) << " cover " << int(cover);
            // Pixels that keep blue first: the same bytes from colours whose
            // first and third bytes trade places as they are loaded.
            actual = backdrop;
            std::vector<uint8_t> swapped = colors;
            for (unsigned i = 0; i < count; ++i)
                std::swap(swapped[4 * i], swapped[4 * i + 2]);
            const ColorSpanBlender colorSwapped = SpanBlendersFor(mode.operation, level).colorSwapped;
            for (unsigned at = 0, piece = 0, length; at < count; at += length, ++piece) {
                length = inPieces ? std::min(count - at, 1 + piece % 7) : count;
                colorSwapped(&actual[4 * at], length, &swapped[4 * at], &covers[at], 0);
            }
            ASSERT_TRUE(std::equal(expected.begin(), expected.begin() + 4 * count, actual.begin()))
                << "swapped: operation " << mode.aggOperation << " level " << int(level);
        }
    }
}

// Full coverage over every combination, partial coverages over one in 17.
TEST(Compositing, EveryModeMatchesThePixelFormatExhaustively) {
    const struct {
        uint8_t cover;
        uint32_t stride;
    } coverages[] = {{255, 1}, {128, 17}, {0, 17}, {1, 17}, {254, 17}, {77, 17}};
    const Mode modes[] = {
        {BlendOperation::Source, agg::comp_op_src, {C | A | D}},
        {BlendOperation::SourceOver, agg::comp_op_src_over, {C | A | D}},
        {BlendOperation::DestinationOver, agg::comp_op_dst_over, {C | D | Da | Opaque, A | D | Da}},
        {BlendOperation::SourceIn, agg::comp_op_src_in, {C | D | Da | Opaque, A | D | Da}},
        {BlendOperation::DestinationIn, agg::comp_op_dst_in, {A | D | Da}},
        {BlendOperation::Multiply, agg::comp_op_multiply, {C | A | D, A | D | Da}},
        {BlendOperation::Screen, agg::comp_op_screen, {C | A | D, C | D | Da}},
        {BlendOperation::Darken, agg::comp_op_darken, {C | A | D, A | D | Da}},
        {BlendOperation::Lighten, agg::comp_op_lighten, {C | A | D, A | D | Da}},
        {BlendOperation::Plus, agg::comp_op_plus, {C | A | D, C | D | Da}},
    };
    for (const Mode& mode : modes)
        for (unsigned sweep : mode.sweeps)
            for (const auto& coverage : coverages) {
                Sweep(mode, sweep, coverage.cover, coverage.stride * VUDADIVE2R_TEST_THINNING);
                if (HasFatalFailure())
                    return;
            }
}

// Source-over in one colour at one coverage, the run of a large shape's
// inside, which takes a loop of its own: every source colour and alpha over
// every backdrop value, in spans long enough for the widest steps and with
// rests of every narrower one, on two rows with a pixel between them that
// stays as it is.
TEST(Compositing, SolidSourceOverAtOneCoverageMatchesThePixelFormat) {
    const unsigned length = 256 + 8 + 4 + 2 + 1, rowPixels = length + 1, rows = 2;
    std::vector<uint8_t> backdrop(4 * rowPixels * rows), expected, actual;
    for (unsigned i = 0; i < rowPixels * rows; ++i)
        for (unsigned channel = 0; channel < 4; ++channel)
            backdrop[4 * i + channel] = uint8_t(i * (2 * channel + 1) + channel);
    for (uint8_t cover : {255, 128, 1, 0, 77})
        for (unsigned alpha = 0; alpha < 256; alpha += VUDADIVE2R_TEST_THINNING)
            for (unsigned c = 0; c < 256; ++c) {
                const agg::rgba8 color(c, 255 - c, c ^ 0x5A, alpha);
                expected = backdrop;
                for (unsigned row = 0; row < rows; ++row)
                    for (unsigned i = 0; i < length; ++i)
                        PremultiplyingBlender::blend_pix(agg::comp_op_src_over, &expected[4 * (row * rowPixels + i)],
                                                         color.r, color.g, color.b, color.a, cover);
                const uint8_t source[4] = {PremultiplyingBlender::Premultiply(color.r, color.a),
                                           PremultiplyingBlender::Premultiply(color.g, color.a),
                                           PremultiplyingBlender::Premultiply(color.b, color.a), color.a};
                for (SimdLevel level : AvailableLevels()) {
                    actual = backdrop;
                    SpanBlendersFor(BlendOperation::SourceOver, level).solidRows(actual.data(), length, source, nullptr,
                                                                                 cover, rows, 4 * rowPixels);
                    ASSERT_EQ(expected, actual) << "level " << int(level) << " cover " << int(cover) << " colour "
                                                << c << " alpha " << alpha;
                }
            }
}

// The processor's widest level is the one the renderers take, and the one
// the sweeps above reach: on AArch64, whose processors all have NEON, that
// is NEON (so the suite under an emulator proves the NEON loops too).
TEST(Compositing, TheWidestLevelIsTheProcessors) {
    const SimdLevel best = BestSimdLevel();
    std::printf("span loops: %s\n", SimdLevelName(best));
    RecordProperty("simd_level", SimdLevelName(best));
    EXPECT_EQ(AvailableLevels().back(), best);
#if defined(__aarch64__)
    EXPECT_EQ(best, SimdLevel::Neon);
    EXPECT_STREQ("NEON", SimdLevelName(best));
    for (unsigned operation = 0; operation < unsigned(BlendOperation::Count); ++operation)
        EXPECT_EQ(&SpanBlendersFor(BlendOperation(operation), SimdLevel::Neon), &NeonSpanBlenders()[operation]);
#endif
}

// Every loop of every operation and level in random short spans, at random
// byte offsets, with a coverage per pixel or one for the span, on one row or
// several: each pixel as the pixel format blends it alone.
TEST(Compositing, EveryLoopMatchesThePixelFormatOnRandomSpans) {
    const unsigned aggOperations[] = {agg::comp_op_src,      agg::comp_op_src_over, agg::comp_op_dst_over,
                                      agg::comp_op_src_in,   agg::comp_op_dst_in,   agg::comp_op_multiply,
                                      agg::comp_op_screen,   agg::comp_op_darken,   agg::comp_op_lighten,
                                      agg::comp_op_plus};
    static_assert(sizeof aggOperations / sizeof aggOperations[0] == unsigned(BlendOperation::Count), "every operation");
    enum Loop { Solid, SolidRows, Color, ColorSwapped, Loops };
    std::mt19937 random(20261208);
    auto byte = [&random]() { return uint8_t(random() >> 24); };
    const unsigned rounds = 3000 / VUDADIVE2R_TEST_THINNING;
    for (unsigned round = 0; round < rounds; ++round) {
        const unsigned operation = round % unsigned(BlendOperation::Count);
        const Loop loop = Loop(round / unsigned(BlendOperation::Count) % Loops);
        const unsigned length = random() % 41, offset = random() % 4, rows = loop == SolidRows ? 1 + random() % 3 : 1;
        const unsigned rowBytes = 4 * length + 8;
        // Edge values often: they are where a lane's rounding or clamp goes wrong.
        auto value = [&]() {
            const unsigned pick = random() % 8;
            return pick == 0 ? uint8_t(0) : pick == 1 ? uint8_t(255) : byte();
        };
        std::vector<uint8_t> backdrop(offset + rowBytes * rows + 4), colors(4 * length + 4), covers(length + 1);
        for (uint8_t& b : backdrop)
            b = value();
        for (uint8_t& b : colors)
            b = value();
        for (uint8_t& b : covers)
            b = value();
        const bool perPixel = random() % 2, oneColor = loop == Solid || loop == SolidRows;
        const uint8_t cover = value();
        const uint8_t* color = colors.data();  // the first colour, also for an empty span
        const uint8_t source[4] = {PremultiplyingBlender::Premultiply(color[0], color[3]),
                                   PremultiplyingBlender::Premultiply(color[1], color[3]),
                                   PremultiplyingBlender::Premultiply(color[2], color[3]), color[3]};
        std::vector<uint8_t> expected = backdrop;
        for (unsigned row = 0; row < rows; ++row)
            for (unsigned i = 0; i < length; ++i) {
                const uint8_t* c = oneColor ? color : &colors[4 * i];
                PremultiplyingBlender::blend_pix(aggOperations[operation], &expected[offset + row * rowBytes + 4 * i],
                                                 c[0], c[1], c[2], c[3], perPixel ? covers[i] : cover);
            }
        std::vector<uint8_t> swapped = colors;
        for (unsigned i = 0; i < length; ++i)
            std::swap(swapped[4 * i], swapped[4 * i + 2]);
        for (SimdLevel level : AvailableLevels()) {
            const SpanBlenders& loops = SpanBlendersFor(BlendOperation(operation), level);
            std::vector<uint8_t> actual = backdrop;
            uint8_t* pixels = actual.data() + offset;
            const uint8_t* k = perPixel ? covers.data() : nullptr;
            switch (loop) {
            case Solid:
                loops.solid(pixels, length, source, k, cover);
                break;
            case SolidRows:
                loops.solidRows(pixels, length, source, k, cover, rows, rowBytes);
                break;
            case Color:
                loops.color(pixels, length, colors.data(), k, cover);
                break;
            default:
                loops.colorSwapped(pixels, length, swapped.data(), k, cover);
                break;
            }
            ASSERT_EQ(expected, actual) << "round " << round << " operation " << operation << " loop " << loop
                                        << " level " << SimdLevelName(level) << " length " << length;
        }
    }
}

// A fill writes its four bytes to exactly the span's pixels, whatever the
// length around the widths of its stores and wherever the span starts
// relative to an aligned block, pixels not on word boundaries included.
TEST(Compositing, FillsWriteExactlyTheSpan) {
    const uint8_t pattern[4] = {0x11, 0x22, 0x33, 0x44};
    const uint8_t untouched = 0xEE;
    for (SimdLevel level : AvailableLevels()) {
        const SpanFiller fill = SpanBlendersFor(BlendOperation::Source, level).fill;
        for (unsigned length = 0; length <= 80; ++length)
            for (unsigned offset = 0; offset < 64; ++offset) {
                alignas(64) uint8_t bytes[64 + 4 * 80 + 64];
                memset(bytes, untouched, sizeof bytes);
                fill(bytes + offset, length, pattern);
                for (unsigned i = 0; i < sizeof bytes; ++i) {
                    const bool inside = i >= offset && i < offset + 4 * length;
                    ASSERT_EQ(inside ? pattern[(i - offset) % 4] : untouched, bytes[i])
                        << "level " << int(level) << " length " << length << " offset " << offset << " byte " << i;
                }
            }
    }
}

}  // namespace
