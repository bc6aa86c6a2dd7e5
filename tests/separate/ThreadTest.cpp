// Eight threads draw random scenes and text on contexts of their own, making
// fonts as they go (the process's first by all at once) and releasing each
// other's handles: each thread's bytes must be what one thread draws alone.
// A program of its own, so that its fonts are the process's first.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include "FontLookup.hpp"
#include "RoadScenes.hpp"
#include "vudadive2r.h"

namespace {

constexpr int kThreads = 8;
constexpr int kScenesPerThread = 48;

struct Mailbox {
    std::mutex lock;
    std::vector<std::function<void()>> releases;
    void Post(std::function<void()> release) {
        std::lock_guard<std::mutex> guard(lock);
        releases.push_back(std::move(release));
    }
    void ReleaseAll() {
        std::vector<std::function<void()>> taken;
        {
            std::lock_guard<std::mutex> guard(lock);
            taken.swap(releases);
        }
        for (auto& release : taken)
            release();
    }
};

struct Crew {
    explicit Crew(int threads) : mailboxes(size_t(threads)), drawing(threads) {}
    std::vector<Mailbox> mailboxes;
    std::atomic<int> drawing, outstanding{0};
};

// Random scenes, and text and a rectangle on one canvas with a new font each
// scene; the handles go to the next thread, the context's last release with
// them. Returns the bytes of every scene, measured width and the canvas.
std::vector<std::vector<uint8_t>> Work(int index, Crew& crew, const std::string& fontPath) {
    Mailbox& mine = crew.mailboxes[size_t(index) % crew.mailboxes.size()];
    Mailbox& next = crew.mailboxes[size_t(index + 1) % crew.mailboxes.size()];
    std::mt19937 engine(7919u * unsigned(index) + 1);
    std::vector<std::vector<uint8_t>> results;
    std::vector<uint8_t> canvas(96 * 64 * 4, 0);
    orv_surface* surface = orv_surface_create_for_data(96, 64, 0x34324241, 96 * 4, canvas.data());
    orv_context2D context = orv_context2D_create(surface);
    for (int scene = 0; scene < kScenesPerThread; ++scene) {
        orv_font font = orv_font_create(context, fontPath.c_str(), 6 + int(engine() % 30));

        std::vector<uint8_t> bytes(1024);
        for (uint8_t& byte : bytes)
            byte = uint8_t(engine());
        RoadScenes::ByteStream stream(bytes.data(), bytes.size());
        std::vector<uint8_t> pixels;
        try {
            pixels = RoadScenes::Draw(RoadScenes::RandomScene(stream), false);
        } catch (const std::exception&) {
            pixels.assign(1, 0xEE);
        }
        results.push_back(pixels);

        const float angle = float(engine() % 628) / 100.0f;
        const orv_matrix3 glyph{{std::cos(angle), std::sin(angle), 0, -std::sin(angle), std::cos(angle), 0, 0, 0, 1}};
        orv_transform_set(orv_transforms_glyph(orv_context2D_transforms_get(context)), &glyph);
        std::string text;
        for (unsigned n = engine() % 12; n; --n)
            text += char(32 + engine() % 95);
        orv_font_draw_string(font, int(engine() % 96), int(engine() % 64), text.c_str(), 0.9f, 0.5f, 0.1f,
                             float(engine() % 256) / 255.0f);
        const float width = orv_font_measure_string(font, text.c_str());
        results.emplace_back(reinterpret_cast<const uint8_t*>(&width), reinterpret_cast<const uint8_t*>(&width + 1));

        orv_path_builder builder = orv_path_builder_create();
        orv_path_builder_rectangle(builder, float(engine() % 90), float(engine() % 60), 7.5f, 5.25f);
        orv_path path = orv_path_builder_to_path(builder, context);
        orv_path_builder_destroy(builder);
        orv_color_paint paint = orv_color_paint_create(context, 0.1f, 0.3f, 0.8f, 0.6f);
        orv_fill_state fill = orv_fill_state_create();
        orv_fill_state_paint_set(fill, paint);
        orv_path_draw(path, fill, nullptr);

        crew.outstanding += 4;
        next.Post([font, path, paint, fill, &crew] {
            orv_fill_state_destroy(fill);
            orv_color_paint_destroy(paint);
            orv_path_destroy(path);
            orv_font_destroy(font);
            crew.outstanding -= 4;
        });
        mine.ReleaseAll();
    }
    orv_context2D_finish(context);
    results.push_back(canvas);
    orv_context2D_destroy(context);
    // Others may still post here: keep releasing until every thread is done.
    --crew.drawing;
    while (crew.drawing > 0 || crew.outstanding > 0) {
        mine.ReleaseAll();
        std::this_thread::yield();
    }
    orv_surface_destroy(surface);
    return results;
}

}  // namespace

TEST(Threads, EightThreadsDrawWhatOneThreadDraws) {
    const std::string fontPath = DejaVuSansPath();
    ASSERT_FALSE(fontPath.empty()) << "DejaVu Sans not found";

    // Threads first, so that their fonts are the process's first.
    std::vector<std::vector<std::vector<uint8_t>>> parallel(kThreads);
    {
        Crew crew(kThreads);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                ++ready;
                while (ready < kThreads)
                    std::this_thread::yield();
                parallel[size_t(t)] = Work(t, crew, fontPath);
            });
        for (std::thread& thread : threads)
            thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        Crew alone(1);
        EXPECT_EQ(Work(t, alone, fontPath), parallel[size_t(t)]) << "thread " << t;
    }
}
