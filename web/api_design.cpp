// Tasks and the design of linkages for them, for the browser's Design panel: task files read
// and written by the core's one reader and writer, the design, and its view.
#include "api_support.h"

#include "design_result_text.h"
#include "design_texts.h"
#include "design_view.h"
#include "field_rules.h"
#include "four_position_map.h"
#include "function_fit.h"
#include "json_object.h"
#include "raster.h"
#include "task_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

using namespace cyclar;
using web::handOut;

namespace {

// The Design panel's task and what the design gave for it, kept between calls: the view is drawn
// many times a second from them, and designing again per frame would be wasted work.
struct WebDesign {
    DesignTask task;
    DesignResult result;
    /// Each candidate's tour, worked out when the view first shows it.
    std::vector<std::optional<std::vector<DesignStep>>> tours;
    PixelBuffer picture;
    /// The solution map of a task of four or five positions, whether the view draws it, the
    /// picks on it, the colours the first pick gives, and the linkages two picks make with the
    /// first one's tour.
    SolutionMap map;
    bool mapShown = true;
    std::vector<std::size_t> picks;
    std::vector<MapClass> classes;
    std::vector<DesignCandidate> made;
    std::vector<DesignStep> madeTour;
};

// The candidate the page calls `mapLinkage`: the first linkage two picks on the map made.
constexpr int mapLinkage = -2;

WebDesign& webDesign()
{
    static WebDesign design;
    return design;
}

// The numbers a task's table hands over, written by the page before it asks for the task's text.
std::vector<double>& taskNumbers()
{
    static std::vector<double> numbers;
    return numbers;
}

// The task the table's numbers make: `rows` positions (longitude, latitude, heading) then, with
// `extra`, two fixed pivots (longitude, latitude each); or `rows` pairs (input, output) then, with
// `extra`, the ground. Nothing when the page wrote fewer numbers than that.
std::optional<DesignTask> tableTask(int kind, int rows, int extra)
{
    const std::vector<double>& n = taskNumbers();
    const bool motion = kind == 0;
    const std::size_t stride = motion ? 3 : 2;
    const std::size_t extras = extra == 0 ? 0 : motion ? 4 : 1;
    // Compared by division: the product could wrap round a 32-bit size.
    if (rows < 0 || (kind != 0 && kind != 1) || extras > n.size()
        || static_cast<std::size_t>(rows) > (n.size() - extras) / stride) {
        return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(rows);
    DesignTask task;
    task.kind = motion ? TaskKind::Motion : TaskKind::Function;
    for (std::size_t i = 0; i < count; ++i) {
        const double* row = n.data() + i * stride;
        if (motion) {
            task.positions.push_back(TaskPosition{row[0], row[1], row[2]});
        } else {
            task.pairs.push_back(TaskPair{row[0], row[1]});
        }
    }
    const double* rest = n.data() + count * stride;
    if (extras == 4) {
        task.fixedPivots = {TaskPivot{rest[0], rest[1]}, TaskPivot{rest[2], rest[3]}};
    } else if (extras == 1) {
        task.ground = rest[0];
    }
    return task;
}

// The task whose text the page put in the file buffer, read by the core's one reader.
std::optional<DesignTask> bufferedTask(int size, std::string& error)
{
    return parseTaskFile(web::fileBytes(size), error);
}

// The tour of candidate i of the design held now (empty for none); mapLinkage's for the map's.
const std::vector<DesignStep>& tourOf(int candidate)
{
    WebDesign& design = webDesign();
    if (candidate == mapLinkage) {
        return design.madeTour;
    }
    static const std::vector<DesignStep> none;
    if (candidate < 0 || static_cast<std::size_t>(candidate) >= design.result.candidates.size()) {
        return none;
    }
    const auto i = static_cast<std::size_t>(candidate);
    std::optional<std::vector<DesignStep>>& tour = design.tours[i];
    if (!tour) {
        tour = designTour(design.result.candidates[i]);
    }
    return *tour;
}

// A view angle from the page, as the view takes it: a finite number of degrees.
double viewAngle(double degrees)
{
    return std::isfinite(degrees) ? std::clamp(degrees, -360.0, 360.0) : 0.0;
}

} // namespace

/// The number in a design task's cell, or NaN when the cell rules do not take the text.
double cyclar_parse_cell_number(const char* text)
{
    const std::optional<double> value =
        parseCellNumber(text ? std::string_view(text) : std::string_view());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

int cyclar_task_file_max_bytes()
{
    return static_cast<int>(taskFileMaxBytes);
}

/// Reads a task file's bytes from the file buffer with the core's one reader:
/// {"task": the task as the writer writes it} or {"problem": sentence}.
const char* cyclar_read_task_file(int size)
{
    std::string error;
    const std::optional<DesignTask> task = bufferedTask(size, error);
    if (!task) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    return handOut("{\"task\":" + taskFileText(*task) + "}");
}

/// Room for `count` numbers of a task's table, which cyclar_task_text then reads.
double* cyclar_task_numbers(int count)
{
    std::vector<double>& numbers = taskNumbers();
    numbers.assign(static_cast<std::size_t>(std::max(count, 1)), 0.0);
    return numbers.data();
}

/// The text of the task the table's numbers make (see tableTask: kind 0 motion, 1 function), as
/// the desktop writes it: {"text": ...}, or {"problem": sentence} for a task the reader would
/// refuse.
const char* cyclar_task_text(int kind, int rows, int extra)
{
    const std::optional<DesignTask> task = tableTask(kind, rows, extra);
    if (!task) {
        return handOut("{\"problem\":\"The table does not make a task.\"}");
    }
    if (const std::optional<std::string> problem = taskProblem(*task)) {
        return handOut("{\"problem\":" + jsonQuoted(*problem) + "}");
    }
    return handOut("{\"text\":" + jsonQuoted(taskFileText(*task)) + "}");
}

/// Designs linkages for the task whose text is in the file buffer, and keeps the task and the
/// answer for the view: what cyclar-export design prints, or {"problem": sentence} for a task
/// the reader or the design refuses (the view then shows no task).
const char* cyclar_design(int size)
{
    WebDesign& design = webDesign();
    const bool mapShown = design.mapShown;
    design = WebDesign{};
    design.mapShown = mapShown;
    std::string error;
    const std::optional<DesignTask> task = bufferedTask(size, error);
    if (!task) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    design.task = *task;
    design.result = designLinkages(design.task);
    design.tours.resize(design.result.candidates.size());
    if (task->kind == TaskKind::Motion
        && (task->positions.size() == 4 || task->positions.size() == 5)) {
        design.map = fourPositionMap(design.task);
    }
    return handOut(designResultJson(design.result));
}

/// How many steps the animation of candidate i (0-based) of the design held now goes through.
int cyclar_design_tour_length(int candidate)
{
    return static_cast<int>(tourOf(candidate).size());
}

/// The view that faces the task held now, as the desktop turns its Design window's sphere to a
/// task: turn and tilt (whole degrees), two doubles valid until the next call.
const double* cyclar_design_facing_view()
{
    static std::array<double, 2> held{};
    const ViewOrientation view = viewFacingTask(webDesign().task);
    held = {view.turn, view.tilt};
    return held.data();
}

/// Draws the design view of the task held now: candidate i (0-based; any other number, none) at
/// step `step` of its tour (counted round it), the sphere turned and tilted as given, `size`
/// picture pixels square (64..1024, others the nearest) at `scale` device pixels per picture
/// pixel (1..4, likewise). Returns the RGBA pixels, size k x size k at scale k, valid until the
/// next call.
const std::uint8_t* cyclar_design_view(int candidate, int step, double turn, double tilt, int size,
                                       int scale)
{
    WebDesign& design = webDesign();
    const int k = std::clamp(scale, 1, maxPictureScale);
    const int side = std::clamp(size, 64, 1024) * k;
    if (design.picture.width() != side) {
        design.picture = PixelBuffer(side, side, PixelOrder::Rgba);
    }
    design.picture.fill(white);
    Raster raster(design.picture);
    raster.setTextScale(k);
    DesignViewPalette palette;
    palette.scale = k;
    ViewOrientation view;
    view.turn = viewAngle(turn);
    view.tilt = viewAngle(tilt);
    view.recompute();
    const DesignCandidate* shown = nullptr;
    DesignStep at;
    if (candidate == mapLinkage && !design.made.empty()) {
        shown = &design.made.front();
    } else if (candidate >= 0
               && static_cast<std::size_t>(candidate) < design.result.candidates.size()) {
        shown = &design.result.candidates[static_cast<std::size_t>(candidate)];
    }
    if (shown) {
        const std::vector<DesignStep>& tour = tourOf(candidate);
        if (!tour.empty()) {
            const int length = static_cast<int>(tour.size());
            at = tour[static_cast<std::size_t>(((step % length) + length) % length)];
        } else if (!shown->positions.empty()) {
            at = DesignStep{shown->positions.front().input, shown->positions.front().branch};
        }
    }
    DesignMapView map;
    map.map = &design.map;
    map.classes = design.picks.size() == 1 ? design.classes : std::vector<MapClass>{};
    if (design.map.marks.empty()) {
        map.picked = design.picks;
    }
    const bool drawMap = design.mapShown && !design.map.empty();
    composeDesignView(raster, design.task, shown, at, view, palette, drawMap ? &map : nullptr);
    return design.picture.bytes();
}

/// What the design held now found, as the line over the list says it (see resultText).
const char* cyclar_design_said()
{
    return handOut(resultText(webDesign().result));
}

/// Every candidate of the design held now as the lists show it, in its order: [{"mechanism",
/// "variant", "a", "b", "c", "f" (one decimal and a degree sign), "type", "state" ("usable" or
/// the defects), "transmission", "usable"}].
const char* cyclar_design_rows()
{
    std::string out = "[";
    const std::vector<DesignCandidate>& candidates = webDesign().result.candidates;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const DesignCandidate& c = candidates[i];
        JsonObject row;
        row.number("mechanism", c.mechanism);
        row.string("variant", variantText(c));
        row.string("a", listDegrees(c.dims.a));
        row.string("b", listDegrees(c.dims.b));
        row.string("c", listDegrees(c.dims.c));
        row.string("f", listDegrees(c.dims.f));
        row.string("type", typeText(c));
        row.string("state", stateText(c));
        row.string("transmission", transmissionText(c));
        row.boolean("usable", c.usable());
        if (i > 0) {
            out += ',';
        }
        out += row.finish();
    }
    return handOut(out + "]");
}

/// The candidates (indices from 0) that pass the filters: usable only (0 or 1), the least
/// transmission angle and the shortest and longest link, in degrees.
const char* cyclar_design_filter(int usableOnly, double leastTransmission, double shortestLink,
                                 double longestLink)
{
    CandidateFilter filter;
    filter.usableOnly = usableOnly != 0;
    filter.leastTransmission = std::isfinite(leastTransmission) ? leastTransmission : 0.0;
    filter.shortestLink = std::isfinite(shortestLink) ? shortestLink : 0.0;
    filter.longestLink = std::isfinite(longestLink) ? longestLink : 180.0;
    std::string out = "[";
    const std::vector<DesignCandidate>& candidates = webDesign().result.candidates;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (passesFilter(candidates[i], filter)) {
            if (out.size() > 1) {
                out += ',';
            }
            out += std::to_string(i);
        }
    }
    return handOut(out + "]");
}

/// What the panel says of the linkage shown, candidate i (0-based) or the map's (-2): its title,
/// dimensions and inputs, as the desktop says them; empty for none.
const char* cyclar_design_chosen(int candidate)
{
    const WebDesign& design = webDesign();
    if (candidate == mapLinkage && !design.made.empty()) {
        const DesignCandidate& made = design.made.front();
        return handOut(chosenText(
            made, pickedTitle(firstPickDrives(design.map, design.picks, made)), TaskKind::Motion));
    }
    if (candidate < 0 || static_cast<std::size_t>(candidate) >= design.result.candidates.size()) {
        return handOut(std::string());
    }
    const auto i = static_cast<std::size_t>(candidate);
    const DesignCandidate& c = design.result.candidates[i];
    return handOut(chosenText(c, candidateTitle(c, i), design.task.kind));
}

/// What the solution map of the design held now asks for or says (empty: no map for its task).
const char* cyclar_design_map_hint()
{
    const WebDesign& design = webDesign();
    if (design.map.empty()) {
        return handOut(std::string());
    }
    return handOut(mapHint(design.map, design.picks, design.made));
}

/// Whether the view draws the solution map (0 or 1).
void cyclar_design_show_map(int shown)
{
    webDesign().mapShown = shown != 0;
}

/// A tap at (x, y), picture pixels of a design view `size` pixels square turned and tilted as
/// given: picks the map's point nearest it (five positions: a mark) within 12 pixels. 0 when it
/// picks nothing; else how many picks there are (1, or 2 when they made their linkages, which
/// the view then shows as candidate -2). A third pick starts again.
int cyclar_design_pick(double x, double y, double turn, double tilt, int size)
{
    WebDesign& design = webDesign();
    if (design.map.empty() || !design.mapShown || !std::isfinite(x) || !std::isfinite(y)) {
        return 0;
    }
    ViewOrientation view;
    view.turn = viewAngle(turn);
    view.tilt = viewAngle(tilt);
    const int side = std::clamp(size, 64, 1024);
    const bool five = !design.map.marks.empty();
    const std::optional<std::size_t> index =
        pickMapPoint(design.map, five, view, side, side, x, y, 12.0);
    if (!index) {
        return 0;
    }
    if (design.picks.size() >= 2) {
        design.picks.clear();
        design.made.clear();
        design.madeTour.clear();
    }
    design.picks.push_back(*index);
    if (design.picks.size() == 1) {
        design.classes =
            five ? std::vector<MapClass>{} : mapClasses(design.task, design.map, *index);
    } else {
        design.made = linkagesFromDyads(design.task, pickedDyad(design.map, design.picks[0]),
                                        pickedDyad(design.map, design.picks[1]));
        design.madeTour =
            design.made.empty() ? std::vector<DesignStep>{} : designTour(design.made.front());
    }
    return static_cast<int>(design.picks.size());
}

/// The linkages the last two picks on the map made, as cyclar-export design writes candidates:
/// {"kind", "candidates", "reason"}, no candidates before two picks.
const char* cyclar_design_map_linkages()
{
    DesignResult made;
    made.candidates = webDesign().made;
    return handOut(designResultJson(made));
}

/// The Design section of Help: [{"heading", "paragraphs": [...]}].
const char* cyclar_design_help()
{
    std::string out = "[";
    const std::vector<HelpSection> sections = designHelp();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        out += i == 0 ? "{\"heading\":" : ",{\"heading\":";
        out += jsonQuoted(sections[i].heading);
        out += ",\"paragraphs\":[";
        for (std::size_t p = 0; p < sections[i].paragraphs.size(); ++p) {
            if (p > 0) {
                out += ',';
            }
            out += jsonQuoted(sections[i].paragraphs[p]);
        }
        out += "]}";
    }
    return handOut(out + "]");
}

/// The Chebyshev spacing of `count` precision points over [from, to] (degrees): {"inputs": [...]}
/// or {"problem": sentence}.
const char* cyclar_chebyshev_inputs(double from, double to, int count)
{
    std::string error;
    const std::optional<std::vector<double>> inputs = chebyshevInputs(from, to, count, error);
    if (!inputs) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    JsonObject out;
    out.numbers("inputs", *inputs);
    return handOut(out.finish());
}
