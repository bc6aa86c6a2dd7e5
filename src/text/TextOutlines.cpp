#include "text/TextOutlines.hpp"

#include <cmath>
#include <algorithm>
#include <cstdlib>

#include "common/Internals.hpp"
#include "paint/PaintPasses.hpp"
#include "paint/PassMatrices.hpp"
#include "path/PathDraw.hpp"
#include "pipeline/PathStorage.hpp"
#include "pipeline/DrawTarget.hpp"
#include "text/ColorGlyphs.hpp"

namespace ORV {
namespace Vudadive2R {

bool GlyphOutlineBox(TextFaces& faces, int font, unsigned index, FT_BBox& box) {
    const GlyphOutline& outline = faces.Outline(font, index);
    box = outline.box;
    return !outline.points.empty();
}

namespace {

// Beyond this a double holds no finer than quarters anyway.
constexpr double FarPosition = 1125899906842624.0;  // 2^50

// Where a glyph lands: whole pixels and quarters, or `far` for a position
// not finite or beyond FarPosition.
struct GlyphPlace {
    bool far;
    double x, y;  // the position itself
    double wholeX, wholeY;
    int quarterX, quarterY;
};

// std::floor for |v| < 2^62, without a call where the target has no
// rounding instruction.
inline double Floor(double v) {
    const double t = double((long long)v);
    return t > v ? t - 1 : t;
}

inline GlyphPlace PlaceOf(double originX, double originY, int64_t gx, int64_t gy) {
    GlyphPlace p;
    p.x = originX + double(gx) / 64;
    p.y = originY + double(gy) / 64;
    p.far = !(std::fabs(p.x) < FarPosition && std::fabs(p.y) < FarPosition);
    if (p.far)
        return p;
    const double qx = Floor(p.x * 4 + 0.5), qy = Floor(p.y * 4 + 0.5);
    p.wholeX = Floor(qx / 4), p.wholeY = Floor(qy / 4);
    p.quarterX = int(qx - p.wholeX * 4), p.quarterY = int(qy - p.wholeY * 4);
    return p;
}

void AppendMoved(PathStorage& storage, const GlyphPolyline& polyline, double wx, double wy) {
    for (const agg::vertex_d& v : polyline.vertices) {
        if (agg::is_vertex(v.cmd))
            storage.vertices().add_vertex(wx + v.x, wy + v.y, v.cmd);
        else
            storage.vertices().add_vertex(0.0, 0.0, v.cmd);
    }
}

// What lets a pass take glyph cells instead of edges: the library's own
// colours, and a path transform that only moves, by multiples of 1/256.
struct StampWindow {
    bool open = false;
    int width = 0, height = 0;
    double tx = 0, ty = 0;
    long long wholeX = 0, wholeY = 0;  // of the transform's move
    int subX = 0, subY = 0;           // and its 1/256 pixels
};

StampWindow WindowOf(Context2D& context, const std::shared_ptr<FillState>& fill) {
    StampWindow w;
    if (!fill)
        return w;
    const std::shared_ptr<Paint> paint = Internals::PaintOf(*fill);
    if (!paint || !LibraryPaintColors(*paint))
        return w;
    const agg::trans_affine m = ToAffine(context.transforms->path->Get());
    if (!(m.sx == 1 && m.sy == 1 && m.shx == 0 && m.shy == 0 && std::fabs(m.tx) < 16777216.0 &&
          std::fabs(m.ty) < 16777216.0))
        return w;
    const double sx = m.tx * 256, sy = m.ty * 256;
    if (sx != std::floor(sx) || sy != std::floor(sy))
        return w;
    const DrawTarget target(context);
    if (!target.Pixels() || target.Width() < 4 || target.Height() < 4)
        return w;
    w.width = target.Width(), w.height = target.Height();
    w.tx = m.tx, w.ty = m.ty;
    const long long ax = (long long)sx, ay = (long long)sy;
    w.wholeX = ax >= 0 ? ax / 256 : -((-ax + 255) / 256);
    w.wholeY = ay >= 0 ? ay / 256 : -((-ay + 255) / 256);
    w.subX = int(ax - w.wholeX * 256), w.subY = int(ay - w.wholeY * 256);
    w.open = true;
    return w;
}

// Places `cells` moved by (dx, dy) where they may be added: within the
// surface's columns and below its first row (rows below the surface are
// never swept, so cells may reach past the last row; above it the
// coordinates would change sign).
bool PlaceStamp(const DenseRasterizer::CellStamp& cells, long long dx, long long dy, const StampWindow& w,
                std::vector<PlacedStamp>& stamps) {
    if (!cells.anyEdges || cells.minX + dx < 1 || cells.maxX + dx > w.width - 2 || cells.minY + dy < 1 ||
        cells.maxY + dy > (1LL << 30))
        return false;
    stamps.push_back(PlacedStamp{&cells, int(dx), int(dy)});
    return true;
}

// The cells of a glyph, where they stand for its edges exactly: the moves
// exact in double, every vertex a pixel or more inside the surface's
// columns and below its first row, so that no cell is folded and every
// coordinate rounds the same way in both frames (the edges of rows beyond
// the last are culled, their cells never swept).
bool Stamped(GlyphPolylines& polylines, GlyphPolyline& polyline, const GlyphPlace& p, const StampWindow& w,
             std::vector<PlacedStamp>& stamps) {
    if (polyline.curved ||
        !ExactlyMoved(polyline, std::max(std::fabs(p.wholeX), std::fabs(p.wholeY)) + std::max(std::fabs(w.tx), std::fabs(w.ty)), -8))
        return false;
    const GlyphPolyline::Stamp* stamp = polylines.StampOf(polyline, w.subX, w.subY);
    if (!stamp)
        return false;
    return PlaceStamp(stamp->cells, (long long)p.wholeX + w.wholeX - stamp->originX,
                      (long long)p.wholeY + w.wholeY - stamp->originY, w, stamps);
}

// The kept stamp of all the glyphs, where this draw places them as the
// draw that made it did, moved by whole pixels, and each glyph's own
// cells would have been added (Stamped): the bounds of all of them are
// the stamp's, and its exact limit the least of theirs.
bool KeptStamp(const DrawnText& drawn, const std::vector<PlacedRun>& runs, const StampWindow& w,
               std::vector<PlacedStamp>& stamps) {
    if (!drawn.stamp || w.subX != drawn.subX || w.subY != drawn.subY)
        return false;
    std::size_t k = 0;
    long long baseX = 0, baseY = 0;
    for (const PlacedRun& run : runs) {
        for (size_t i = 0; i < run.glyphs.size(); ++i, ++k) {
            const GlyphPlace p = PlaceOf(run.x, run.y, run.positions[2 * i], run.positions[2 * i + 1]);
            if (p.far || k >= drawn.places.size())
                return false;
            if (k == 0)
                baseX = (long long)p.wholeX, baseY = (long long)p.wholeY;
            const DrawnText::Place& kept = drawn.places[k];
            if (kept.x != (long long)p.wholeX - baseX || kept.y != (long long)p.wholeY - baseY ||
                kept.quarters != p.quarterX * 4 + p.quarterY)
                return false;
        }
    }
    if (k != drawn.places.size())
        return false;
    const double magnitude = std::max(std::fabs(double(baseX)), std::fabs(double(baseY))) + double(drawn.reach) +
                             std::max(std::fabs(w.tx), std::fabs(w.ty));
    if (!(magnitude < drawn.exactLimit))
        return false;
    return PlaceStamp(*drawn.stamp, baseX + w.wholeX - drawn.baseX, baseY + w.wholeY - drawn.baseY, w, stamps);
}

// After a draw whose glyphs were all stamped at `places`: the places kept,
// and at the second draw with the same ones the stamps summed into one,
// which then stands for them.
void KeepStamp(DrawnText& drawn, std::vector<DrawnText::Place>& places, const StampWindow& w, long long baseX,
               long long baseY, const std::vector<std::shared_ptr<GlyphPolyline>>& used,
               std::vector<PlacedStamp>& stamps) {
    if (places != drawn.places || w.subX != drawn.subX || w.subY != drawn.subY) {
        drawn.places.swap(places);
        drawn.subX = w.subX, drawn.subY = w.subY;
        drawn.stamp.reset();
        drawn.refused = false;
        return;
    }
    if (drawn.stamp || drawn.refused || stamps.empty())
        return;
    auto stamp = std::make_unique<DenseRasterizer::CellStamp>();
    std::size_t bytes = 0;
    if (DenseRasterizer::MergeStamps(stamps, *stamp))
        bytes = stamp->cells.size() * sizeof(DenseRasterizer::StampCell) + stamp->alphas.size() +
                (stamp->rowStart.size() + stamp->alphaStart.size()) * sizeof(std::uint32_t);
    if (bytes == 0 || bytes > DrawnText::StampBound || !stamp->swept) {
        drawn.refused = true;
        return;
    }
    drawn.exactLimit = INFINITY;
    for (const auto& polyline : used)
        drawn.exactLimit = std::min(drawn.exactLimit, ExactMoveLimit(*polyline, -8));
    drawn.reach = 0;
    for (const DrawnText::Place& p : drawn.places)
        drawn.reach = std::max(drawn.reach, std::max(std::llabs(p.x), std::llabs(p.y)));
    drawn.baseX = baseX + w.wholeX, drawn.baseY = baseY + w.wholeY;
    drawn.stamp = std::move(stamp);
    stamps.assign(1, PlacedStamp{drawn.stamp.get(), 0, 0});
}

}  // namespace

bool AnyColorGlyphs(DrawnText& drawn, const std::vector<PlacedRun>& runs) {
    if (drawn.colorGlyphs < 0) {
        drawn.colorGlyphs = 0;
        for (const PlacedRun& run : runs)
            for (const Glyph& g : run.glyphs)
                if (run.faces.Colors().Find(run.faces, g.Font, g.Index).color)
                    drawn.colorGlyphs = 1;
    }
    return drawn.colorGlyphs == 1;
}

void DrawRuns(DrawnText& drawn, const std::vector<PlacedRun>& runs, const std::shared_ptr<FillState>& fill) {
    Path& path = drawn.path;
    path.Clear();
    PathStorage& storage = Internals::StorageOf(path);
    const StampWindow window = WindowOf(*Internals::ContextOf(path), fill);
    std::vector<PlacedStamp> stamps;
    std::vector<std::shared_ptr<GlyphPolyline>> used;  // their stamps live while the pass draws
    if (!(window.open && KeptStamp(drawn, runs, window, stamps))) {
        bool allStamped = window.open;
        std::vector<DrawnText::Place> places;
        long long baseX = 0, baseY = 0;
        for (const PlacedRun& run : runs) {
            GlyphPolylines& polylines = run.faces.Polylines();
            for (size_t i = 0; i < run.glyphs.size(); ++i) {
                const Glyph& g = run.glyphs[i];
                const GlyphPlace p = PlaceOf(run.x, run.y, run.positions[2 * i], run.positions[2 * i + 1]);
                if (p.far) {
                    if (!run.faces.Outline(g.Font, g.Index).points.empty())
                        storage.move_to(p.x, p.y);
                    allStamped = false;
                    continue;
                }
                if (allStamped) {
                    if (places.empty())
                        baseX = (long long)p.wholeX, baseY = (long long)p.wholeY;
                    places.push_back(DrawnText::Place{(long long)p.wholeX - baseX, (long long)p.wholeY - baseY,
                                                      p.quarterX * 4 + p.quarterY});
                }
                std::shared_ptr<GlyphPolyline> polyline =
                    polylines.Get(run.faces, g.Font, g.Index, p.quarterX, p.quarterY);
                if (polyline->vertices.empty())
                    continue;
                if (window.open && Stamped(polylines, *polyline, p, window, stamps)) {
                    used.push_back(std::move(polyline));
                    continue;
                }
                allStamped = false;
                AppendMoved(storage, *polyline, p.wholeX, p.wholeY);
            }
        }
        if (allStamped)
            KeepStamp(drawn, places, window, baseX, baseY, used, stamps);
    }
    std::shared_ptr<FillState> nonZero;
    if (fill) {
        nonZero = std::make_shared<FillState>();
        nonZero->Paint(Internals::PaintOf(*fill));
        nonZero->FillRule(FillRule::NonZero);
    }
    DrawPath(path, nonZero, nullptr, DrawRoad::Library, &stamps);
}

}  // namespace Vudadive2R
}  // namespace ORV
