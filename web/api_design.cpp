// Tasks and the design of linkages for them, for the browser's Design panel: task files read
// and written by the core's one reader and writer, the design, and its view.
#include "api_support.h"

#include "design_result_text.h"
#include "design_view.h"
#include "field_rules.h"
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
};

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

// The tour of candidate i of the design held now (empty for none).
const std::vector<DesignStep>& tourOf(std::size_t i)
{
    WebDesign& design = webDesign();
    if (i >= design.result.candidates.size()) {
        static const std::vector<DesignStep> none;
        return none;
    }
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
    design.task = DesignTask{};
    design.result = DesignResult{};
    design.tours.clear();
    std::string error;
    const std::optional<DesignTask> task = bufferedTask(size, error);
    if (!task) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    if (const std::string problem = designTaskProblem(*task); !problem.empty()) {
        return handOut("{\"problem\":" + jsonQuoted(problem) + "}");
    }
    design.task = *task;
    design.result = designLinkages(design.task);
    design.tours.resize(design.result.candidates.size());
    return handOut(designResultJson(design.result));
}

/// How many steps the animation of candidate i (0-based) of the design held now goes through.
int cyclar_design_tour_length(int candidate)
{
    return candidate < 0 ? 0 : static_cast<int>(tourOf(static_cast<std::size_t>(candidate)).size());
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
    if (candidate >= 0 && static_cast<std::size_t>(candidate) < design.result.candidates.size()) {
        const auto i = static_cast<std::size_t>(candidate);
        shown = &design.result.candidates[i];
        const std::vector<DesignStep>& tour = tourOf(i);
        if (!tour.empty()) {
            const int length = static_cast<int>(tour.size());
            at = tour[static_cast<std::size_t>(((step % length) + length) % length)];
        } else if (!shown->positions.empty()) {
            at = DesignStep{shown->positions.front().input, shown->positions.front().branch};
        }
    }
    composeDesignView(raster, design.task, shown, at, view, palette);
    return design.picture.bytes();
}
