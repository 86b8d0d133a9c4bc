// cyclar-export subcommands: numbers, tables, pictures and linkage files, with strict argument
// checking.
#include "export_command.h"

#include "linkage_analysis.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"
#include "analysis_plot.h"
#include "artwork.h"
#include "frame.h"
#include "linkage_file.h"
#include "picture_export.h"
#include "svg_export.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QPainter>

#ifdef CYCLAR_DESIGN_COMMAND
#include "design_command.h"
#endif

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace cyclar {

namespace {

constexpr const char* versionText = "1.0.0.1";

const char* helpText =
    "Usage: cyclar-export <command> [options]\n"
    "\n"
    "Prints the kinematics and pictures of a spherical four-bar linkage. Angles are in degrees;\n"
    "--dims takes exactly six comma-separated numbers in the order a,b,c,f,h,k (left link, right\n"
    "link, coupler, ground link, coupler point's radial length and angular position). Every\n"
    "command takes --file F.cyclar, a linkage file, in place of --dims; the picture commands then\n"
    "start from the file's view and speed, which --turn, --tilt and --speed override.\n"
    "\n"
    "Commands:\n"
    "  model   --dims A,B,C,F,H,K\n"
    "          One JSON object: the dimensions, every derived model quantity, isGrashof, label.\n"
    "          Example: cyclar-export model --dims 50,30,35,40,45,-35\n"
    "  pose    --dims A,B,C,F,H,K --t T\n"
    "          One JSON object: the pose for sweep parameter T (radians): diagonal, the two\n"
    "          triangle angles, and the points A1, B1 and P as [x, y, z].\n"
    "          Example: cyclar-export pose --dims 50,30,35,40,45,-35 --t -1.5707963267948966\n"
    "  curve   --dims A,B,C,F,H,K\n"
    "          CSV (pass,j,t,x,y,z): every vertex of the two passes of the coupler curve, as the\n"
    "          first picture of a new animation shows it.\n"
    "          Example: cyclar-export curve --dims 20,50,45,40,45,-35 > curve.csv\n"
    "  frames  --dims A,B,C,F,H,K\n"
    "          CSV (frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz): the sweep parameter and the pose\n"
    "          drawn for each of the 360 animation frames.\n"
    "          Example: cyclar-export frames --dims 50,30,35,40,45,-35 > frames.csv\n"
    "  analyse --dims A,B,C,F,H,K\n"
    "          One JSON object: the spherical type (or null), grashof, changePoint, T [T1..T4],\n"
    "          inputRotates, outputRotates, inputLimits and outputLimits (|angle| at the toggle\n"
    "          positions), transmission [least, greatest] and transmissionAt (|input| there),\n"
    "          swing and timeRatio (crank-rockers), and reason, the sentence that explains it.\n"
    "          Example: cyclar-export analyse --dims 160,105,120,100,45,-35\n"
    "  angles  --dims A,B,C,F,H,K\n"
    "          CSV (frame,t,input,output,transmission,branch): the input, output and\n"
    "          transmission angles in degrees and the assembly branch (1 or 2) of each of the\n"
    "          360 animation frames, as the frames command solves them.\n"
    "          Example: cyclar-export angles --dims 50,30,35,40,45,-35 > angles.csv\n"
    "  plot    --dims A,B,C,F,H,K [--frame N] -o FILE.png\n"
    "          The Analysis window's chart: output angle (branch 1 solid, branch 2 dashed) and\n"
    "          transmission angle over the input angle, with the input limits; with --frame,\n"
    "          also the markers of frame N (1 to 360) of a new animation. Written atomically.\n"
    "          Example: cyclar-export plot --dims 160,105,120,100,45,-35 -o chart.png\n"
    "  png     --dims A,B,C,F,H,K [--frame N] [--turn DEG] [--tilt DEG] -o FILE.png\n"
    "          The 480 x 480 picture that a new animation shows at frame N (1 to 360, default\n"
    "          1), seen from the view angles in whole degrees from -90 to 90 (defaults -18 and\n"
    "          -18).\n"
    "          Example: cyclar-export png --dims 50,30,35,40,45,-35 --frame 90 -o frame90.png\n"
    "  svg     --dims A,B,C,F,H,K [--frame N] [--turn DEG] [--tilt DEG] -o FILE.svg\n"
    "          The same frame as vectors in a 480 x 480 coordinate system: sphere outline,\n"
    "          reference circles, coupler curve, the five arcs, the joint rings and the label,\n"
    "          in the picture's colours and pen widths, each point where the png puts its pixel.\n"
    "          Example: cyclar-export svg --file class.cyclar --frame 120 -o frame120.svg\n"
    "  gif     --dims A,B,C,F,H,K [--turn DEG] [--tilt DEG] [--speed P] -o FILE.gif\n"
    "          One whole cycle (360 frames, each exactly the png of that frame) as an animated\n"
    "          GIF that loops forever; each frame lasts the animation's tick at speed slider\n"
    "          position P (0 to 100, default 50: 0.17 s). Progress goes to stderr when it is a\n"
    "          terminal.\n"
    "          Example: cyclar-export gif --dims 50,30,35,40,45,-35 --speed 80 -o cycle.gif\n"
    "  save    --dims A,B,C,F,H,K [--turn DEG] [--tilt DEG] [--speed P] -o FILE.cyclar\n"
    "          A linkage file that cyclar and --file open: the dimensions, and the view and\n"
    "          speed when given.\n"
    "          Example: cyclar-export save --dims 50,30,35,40,45,-35 --turn 0 -o class.cyclar\n"
    "\n"
    "Numbers are printed in their shortest round-trip form; a value that is not finite prints\n"
    "as null in JSON and as nan, inf or -inf in CSV. Input angle: at A0 from the ground arc\n"
    "toward B0 to the arc toward A1; output angle: at B0 from the ground arc continued beyond\n"
    "B0 to the arc toward B1, both counter-clockwise seen from outside the sphere, in\n"
    "(-180, 180]; transmission angle: at B1 between the arcs toward A1 and toward B0.\n"
    "Files are replaced only once the new one is complete: a failed run leaves an earlier\n"
    "file whole. Bad input gets one line on stderr and exit code 2.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version (1.0.0.1) and exit.\n";

struct UsageError {
    QString message;
};

ExportResult usageError(const QString& message)
{
    ExportResult result;
    result.exitCode = exitUsage;
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    result.err = "cyclar-export: " + line.toUtf8() + '\n';
    return result;
}

// A whole decimal number, blanks allowed around it; no hex, no inf or nan words.
std::optional<double> parseDecimal(const QString& text)
{
    const QByteArray bytes = text.trimmed().toUtf8();
    if (bytes.isEmpty()) {
        return std::nullopt;
    }
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') {
            return std::nullopt;
        }
    }
    for (const char* p = first; p != last; ++p) {
        const char ch = *p;
        const bool allowed = (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e'
                             || ch == 'E' || ch == '+';
        if (!allowed) {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// A whole number within [low, high], or nothing.
std::optional<int> parseWhole(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

LinkageDimensions parseDims(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 6) {
        throw UsageError{QStringLiteral("--dims needs exactly six comma-separated numbers "
                                        "a,b,c,f,h,k (got %1); for example --dims "
                                        "50,30,35,40,45,-35")
                             .arg(parts.size())};
    }
    static const char* const names[] = {"a", "b", "c", "f", "h", "k"};
    double values[6] = {};
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> value = parseDecimal(parts[i]);
        if (!value) {
            throw UsageError{QStringLiteral("--dims: %1 = '%2' is not a finite decimal number; "
                                            "write it like 35 or -12.5")
                                 .arg(QLatin1String(names[i]), parts[i])};
        }
        values[i] = *value;
    }
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

class JsonObject {
public:
    JsonObject() { m_text = "{"; }
    void number(const char* key, double value)
    {
        field(key);
        m_text += formatNumber(value, "null", "null", "null");
    }
    void vector(const char* key, const SphereVector& v)
    {
        field(key);
        m_text += '[' + formatNumber(v.x, "null", "null", "null") + ", "
                  + formatNumber(v.y, "null", "null", "null") + ", "
                  + formatNumber(v.z, "null", "null", "null") + ']';
    }
    void boolean(const char* key, bool value)
    {
        field(key);
        m_text += value ? "true" : "false";
    }
    void text(const char* key, const char* value)
    {
        field(key);
        m_text += '"' + QByteArray(value) + '"'; // our own texts need no escaping
    }
    void string(const char* key, const std::string& value)
    {
        field(key);
        m_text += quoted(value);
    }
    void nullable(const char* key, const std::optional<std::string>& value)
    {
        field(key);
        m_text += value ? quoted(*value) : QByteArray("null");
    }
    void nullable(const char* key, const std::optional<bool>& value)
    {
        field(key);
        m_text += value ? QByteArray(*value ? "true" : "false") : QByteArray("null");
    }
    void nullable(const char* key, const std::optional<double>& value)
    {
        field(key);
        m_text += value ? formatNumber(*value, "null", "null", "null") : QByteArray("null");
    }
    template <typename Numbers>
    void numbers(const char* key, const Numbers& values)
    {
        field(key);
        m_text += '[';
        bool first = true;
        for (const double value : values) {
            m_text += (first ? "" : ", ") + formatNumber(value, "null", "null", "null");
            first = false;
        }
        m_text += ']';
    }
    QByteArray finish() { return m_text + "\n}\n"; }

private:
    // JSON string; the text is UTF-8 and only quotes, backslashes and controls need escapes.
    static QByteArray quoted(const std::string& value)
    {
        QByteArray text = "\"";
        for (const char ch : value) {
            if (ch == '"' || ch == '\\') {
                text += '\\';
                text += ch;
            } else if (static_cast<unsigned char>(ch) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(ch));
                text += escape;
            } else {
                text += ch;
            }
        }
        return text + '"';
    }

    void field(const char* key)
    {
        if (m_text.size() > 1) {
            m_text += ',';
        }
        m_text += "\n  \"" + QByteArray(key) + "\": ";
    }
    QByteArray m_text;
};

QByteArray csv(double value) { return formatNumber(value, "nan", "inf", "-inf"); }

QByteArray modelJson(const LinkageDimensions& d)
{
    const LinkageModel m = buildLinkageModel(d);
    JsonObject o;
    o.number("a", d.a);
    o.number("b", d.b);
    o.number("c", d.c);
    o.number("f", d.f);
    o.number("h", d.h);
    o.number("k", d.k);
    o.number("pi", m.pi);
    o.number("degToRad", m.degToRad);
    o.number("cosA", m.cosA);
    o.number("sinA", m.sinA);
    o.number("cosB", m.cosB);
    o.number("sinB", m.sinB);
    o.number("cosC", m.cosC);
    o.number("sinC", m.sinC);
    o.number("cosF", m.cosF);
    o.number("sinF", m.sinF);
    o.number("cosH", m.cosH);
    o.number("sinH", m.sinH);
    o.number("cosK", m.cosK);
    o.number("sinK", m.sinK);
    o.number("cosE", m.cosE);
    o.number("e", m.e);
    o.number("sinE", m.sinE);
    o.number("jointGap", m.jointGap);
    o.number("cosJointGap", m.cosJointGap);
    o.number("sinJointGap", m.sinJointGap);
    o.vector("A0", m.A0);
    o.vector("B0", m.B0);
    o.number("lowerGap", m.lowerGap);
    o.number("upperGap", m.upperGap);
    o.number("lowerSign", m.lowerSign);
    o.number("upperSign", m.upperSign);
    o.number("diagonalMin", m.diagonalMin);
    o.number("diagonalMax", m.diagonalMax);
    o.number("diagonalHalf", m.diagonalHalf);
    o.boolean("isGrashof", isGrashof(m));
    o.text("label", classificationLabel(m));
    return o.finish();
}

QByteArray poseJson(const LinkageDimensions& d, double t)
{
    const LinkagePose p = solvePose(buildLinkageModel(d), t);
    JsonObject o;
    o.number("t", t);
    o.number("diagonal", p.diagonal);
    o.number("cosPhi", p.cosPhi);
    o.number("sinPhi", p.sinPhi);
    o.number("cosPsi", p.cosPsi);
    o.number("sinPsi", p.sinPsi);
    o.vector("A1", p.A1);
    o.vector("B1", p.B1);
    o.vector("P", p.P);
    return o.finish();
}

QByteArray curveCsv(const LinkageDimensions& d)
{
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule; // a new page: frame 1, start index 0
    const PaintSchedule paint = beginPaint(model, d, schedule);
    QByteArray text = "pass,j,t,x,y,z\n";
    sweepCouplerCurve(paint, schedule.framesPerCycle,
                      [&text](int pass, int j, double t, const SphereVector& p) {
                          text += QByteArray::number(pass) + ',' + QByteArray::number(j) + ','
                                  + csv(t) + ',' + csv(p.x) + ',' + csv(p.y) + ',' + csv(p.z)
                                  + '\n';
                      });
    return text;
}

QByteArray framesCsv(const LinkageDimensions& d)
{
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(model, d, schedule);
    QByteArray text = "frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz\n";
    for (int i = 1; i <= schedule.framesPerCycle; ++i) {
        const double t = shownFrameParameter(model, paint, schedule.framesPerCycle, i);
        const LinkagePose p = solvePose(paint.model, t);
        text += QByteArray::number(i) + ',' + csv(t) + ',' + csv(p.A1.x) + ',' + csv(p.A1.y) + ','
                + csv(p.A1.z) + ',' + csv(p.B1.x) + ',' + csv(p.B1.y) + ',' + csv(p.B1.z) + ','
                + csv(p.P.x) + ',' + csv(p.P.y) + ',' + csv(p.P.z) + '\n';
    }
    return text;
}

QByteArray analyseJson(const LinkageDimensions& d)
{
    const LinkageAnalysis r = analyseLinkage(d);
    JsonObject o;
    o.nullable("type", r.type.empty() ? std::nullopt : std::optional<std::string>(r.type));
    o.nullable("grashof", r.grashof);
    o.boolean("changePoint", r.changePoint);
    o.numbers("T", r.T);
    o.boolean("inputRotates", r.inputRotates);
    o.boolean("outputRotates", r.outputRotates);
    o.numbers("inputLimits", r.inputLimits);
    o.numbers("outputLimits", r.outputLimits);
    o.numbers("transmission", r.transmission);
    o.numbers("transmissionAt", r.transmissionAt);
    o.nullable("swing", r.swing);
    o.nullable("timeRatio", r.timeRatio);
    o.string("reason", r.reason);
    return o.finish();
}

QByteArray anglesCsv(const LinkageDimensions& d)
{
    QByteArray text = "frame,t,input,output,transmission,branch\n";
    for (const FrameAngles& row : frameAngleTable(d)) {
        text += QByteArray::number(row.frame) + ',' + csv(row.t) + ',' + csv(row.angles.theta) + ','
                + csv(row.angles.psi) + ',' + csv(row.angles.mu) + ','
                + QByteArray::number(row.angles.branch) + '\n';
    }
    return text;
}

ExportResult ok(QByteArray text)
{
    ExportResult result;
    result.out = std::move(text);
    return result;
}

std::optional<QString> single(const QCommandLineParser& parser, const QCommandLineOption& option)
{
    if (parser.values(option).size() > 1) {
        throw UsageError{QStringLiteral("--%1 given more than once; give it once")
                             .arg(option.names().last())};
    }
    if (!parser.isSet(option)) {
        return std::nullopt;
    }
    return parser.value(option);
}

// The options every command may take, and those of the picture and file commands.
struct Options {
    QCommandLineOption dims{QStringLiteral("dims"), QString(), QStringLiteral("A,B,C,F,H,K")};
    QCommandLineOption file{QStringLiteral("file"), QString(), QStringLiteral("F.cyclar")};
    QCommandLineOption t{QStringLiteral("t"), QString(), QStringLiteral("T")};
    QCommandLineOption frame{QStringLiteral("frame"), QString(), QStringLiteral("N")};
    QCommandLineOption turn{QStringLiteral("turn"), QString(), QStringLiteral("DEG")};
    QCommandLineOption tilt{QStringLiteral("tilt"), QString(), QStringLiteral("DEG")};
    QCommandLineOption speed{QStringLiteral("speed"), QString(), QStringLiteral("P")};
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QString(), QStringLiteral("FILE")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
};

// The linkage the command works on: from --dims, or from --file with the file's view and speed.
LinkageFile linkageSource(const QCommandLineParser& parser, const Options& options,
                          const QString& command)
{
    const std::optional<QString> dims = single(parser, options.dims);
    const std::optional<QString> path = single(parser, options.file);
    if (dims && path) {
        throw UsageError{QStringLiteral("give --dims or --file, not both")};
    }
    if (path) {
        QString error;
        std::optional<LinkageFile> file = readLinkageFile(*path, error);
        if (!file) {
            throw UsageError{QStringLiteral("'%1' %2").arg(*path, error)};
        }
        return *file;
    }
    if (!dims) {
        throw UsageError{QStringLiteral("%1 needs --dims A,B,C,F,H,K (for example --dims "
                                        "50,30,35,40,45,-35) or --file F.cyclar")
                             .arg(command)};
    }
    LinkageFile file;
    file.dimensions = parseDims(*dims);
    return file;
}

std::optional<int> wholeOption(const QCommandLineParser& parser, const QCommandLineOption& option,
                               int low, int high, const char* what)
{
    const std::optional<QString> text = single(parser, option);
    if (!text) {
        return std::nullopt;
    }
    const std::optional<int> value = parseWhole(*text, low, high);
    if (!value) {
        throw UsageError{QStringLiteral("--%1 '%2' must be a whole number %3 from %4 to %5")
                             .arg(option.names().last(), *text, QLatin1String(what))
                             .arg(low)
                             .arg(high)};
    }
    return value;
}

// The view: the file's (or the starting view), each angle given on the command line overriding.
FileView viewOf(const QCommandLineParser& parser, const Options& options, const LinkageFile& source)
{
    FileView view = source.view.value_or(FileView{});
    if (const std::optional<int> turn = wholeOption(parser, options.turn, -90, 90, "of degrees")) {
        view.turn = *turn;
    }
    if (const std::optional<int> tilt = wholeOption(parser, options.tilt, -90, 90, "of degrees")) {
        view.tilt = *tilt;
    }
    return view;
}

int speedOf(const QCommandLineParser& parser, const Options& options, const LinkageFile& source)
{
    if (const std::optional<int> speed = wholeOption(parser, options.speed, 0, 100, "(slider position)")) {
        return *speed;
    }
    return source.speed.value_or(50);
}

QString outputPath(const QCommandLineParser& parser, const Options& options,
                   const QString& command, const char* suffix)
{
    const std::optional<QString> path = single(parser, options.output);
    if (!path || path->isEmpty()) {
        throw UsageError{QStringLiteral("%1 needs -o FILE%2, the file to write").arg(command, QLatin1String(suffix))};
    }
    if (!path->endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
        throw UsageError{QStringLiteral("-o '%1': the file name must end in %2").arg(*path, QLatin1String(suffix))};
    }
    return *path;
}

void needPictures(const QString& command)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throw UsageError{QStringLiteral("%1 needs the graphics library; run it from "
                                        "cyclar-export itself")
                             .arg(command)};
    }
    // The same text face as the program's, bundled, so the label looks the same everywhere.
    initArtwork();
}

SceneState sceneOf(const LinkageFile& source, const FileView& view)
{
    SceneState scene = newScene(source.dimensions, exportPictureSize);
    scene.view.turn = view.turn;
    scene.view.tilt = view.tilt;
    return scene;
}

void writeFailed(const QString& path, const QString& error)
{
    throw UsageError{QStringLiteral("could not write '%1': %2").arg(path, error)};
}

ExportResult png(const QCommandLineParser& parser, const Options& options, const LinkageFile& source)
{
    const QString path = outputPath(parser, options, QStringLiteral("png"), ".png");
    const int frame = wholeOption(parser, options.frame, 1, 360, "").value_or(1);
    const FileView view = viewOf(parser, options, source);
    needPictures(QStringLiteral("png"));
    QString error;
    if (!writePng(renderFramePicture(sceneOf(source, view), frame, defaultTextFont()), path, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

// The analysis chart, with the markers of frame N when --frame is given.
ExportResult plot(const QCommandLineParser& parser, const Options& options, const LinkageFile& source)
{
    const QString path = outputPath(parser, options, QStringLiteral("plot"), ".png");
    const std::optional<int> frame = wholeOption(parser, options.frame, 1, 360, "");
    needPictures(QStringLiteral("plot"));
    const LinkageDimensions& dims = source.dimensions;
    QImage chart = drawAnalysisChart(dims, analysisChartSize, defaultTextFont());
    if (frame) {
        QPainter painter(&chart);
        drawAnalysisMarkers(painter, chart.size(),
                            frameAngleTable(dims)[static_cast<size_t>(*frame - 1)].angles);
    }
    QString error;
    if (!writePng(chart, path, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

ExportResult svg(const QCommandLineParser& parser, const Options& options, const LinkageFile& source)
{
    const QString path = outputPath(parser, options, QStringLiteral("svg"), ".svg");
    const int frame = wholeOption(parser, options.frame, 1, 360, "").value_or(1);
    const FileView view = viewOf(parser, options, source);
    needPictures(QStringLiteral("svg"));
    SceneState scene = sceneOf(source, view);
    advanceToFrame(scene, frame);
    QString error;
    if (!writeSvg(path, scene, defaultTextFont(), FramePalette(), error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

ExportResult gif(const QCommandLineParser& parser, const Options& options, const LinkageFile& source,
                 const ExportProgress& progress)
{
    const QString path = outputPath(parser, options, QStringLiteral("gif"), ".gif");
    const FileView view = viewOf(parser, options, source);
    const int speed = speedOf(parser, options, source);
    needPictures(QStringLiteral("gif"));
    QString error;
    if (!writeCycleGif(path, sceneOf(source, view), defaultTextFont(), FramePalette(),
                       gifFrameDelay(speed), progress, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

ExportResult save(const QCommandLineParser& parser, const Options& options, LinkageFile source)
{
    const QString path = outputPath(parser, options, QStringLiteral("save"), linkageFileSuffix);
    if (source.view || parser.isSet(options.turn) || parser.isSet(options.tilt)) {
        source.view = viewOf(parser, options, source);
    }
    if (source.speed || parser.isSet(options.speed)) {
        source.speed = speedOf(parser, options, source);
    }
    QString error;
    if (!writeLinkageFile(path, source, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

} // namespace

QByteArray formatNumber(double value, const char* nanText, const char* infText,
                        const char* negInfText)
{
    if (std::isnan(value)) {
        return nanText;
    }
    if (std::isinf(value)) {
        return value > 0 ? infText : negInfText;
    }
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) {
        return nanText; // cannot happen for a finite double with this buffer
    }
    return QByteArray(buffer, static_cast<int>(end - buffer));
}

ExportResult runExport(const QStringList& args, const ExportProgress& progress)
{
    static const QStringList commands{QStringLiteral("model"), QStringLiteral("pose"),
                                      QStringLiteral("curve"), QStringLiteral("frames"),
                                      QStringLiteral("analyse"), QStringLiteral("angles"),
                                      QStringLiteral("plot"),  QStringLiteral("png"),
                                      QStringLiteral("svg"),
                                      QStringLiteral("gif"),   QStringLiteral("save")};
    const QString commandList = QStringLiteral("use one of %1 (see cyclar-export --help)")
                                    .arg(commands.join(QStringLiteral(", ")));
    if (args.isEmpty()) {
        return usageError(QStringLiteral("no command given; ") + commandList);
    }
    const QString& command = args.first();
#ifdef CYCLAR_DESIGN_COMMAND
    if (command == QLatin1String("design")) {
        return runDesignCommand(args.mid(1));
    }
#endif
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        return ok(helpText);
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        return ok(QByteArray("cyclar-export ") + versionText + '\n');
    }
    if (!commands.contains(command)) {
        return usageError(QStringLiteral("unknown command '%1'; ").arg(command) + commandList);
    }

    const Options options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({options.dims, options.file, options.help});
    if (command == QLatin1String("pose")) {
        parser.addOption(options.t);
    }
    if (command == QLatin1String("png") || command == QLatin1String("svg")) {
        parser.addOptions({options.frame, options.turn, options.tilt, options.output});
    }
    if (command == QLatin1String("gif") || command == QLatin1String("save")) {
        parser.addOptions({options.turn, options.tilt, options.speed, options.output});
    }
    if (command == QLatin1String("plot")) {
        parser.addOptions({options.frame, options.output});
    }

    QStringList argv = args;
    argv.front() = QStringLiteral("cyclar-export");
    if (!parser.parse(argv)) {
        return usageError(parser.errorText() + QStringLiteral(" (see cyclar-export --help)"));
    }
    if (parser.isSet(options.help)) {
        return ok(helpText);
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("unexpected argument '%1' (see cyclar-export --help)")
                              .arg(parser.positionalArguments().first()));
    }

    try {
        const LinkageFile source = linkageSource(parser, options, command);
        const LinkageDimensions& dims = source.dimensions;
        if (command == QLatin1String("model")) {
            return ok(modelJson(dims));
        }
        if (command == QLatin1String("pose")) {
            const std::optional<QString> text = single(parser, options.t);
            if (!text) {
                return usageError(QStringLiteral("pose needs --t T, the sweep parameter in "
                                                 "radians, for example --t -1.5707963267948966"));
            }
            const std::optional<double> t = parseDecimal(*text);
            if (!t) {
                return usageError(QStringLiteral("--t '%1' is not a finite decimal number; write "
                                                 "it like -1.5707963267948966")
                                      .arg(*text));
            }
            return ok(poseJson(dims, *t));
        }
        if (command == QLatin1String("curve")) {
            return ok(curveCsv(dims));
        }
        if (command == QLatin1String("analyse")) {
            return ok(analyseJson(dims));
        }
        if (command == QLatin1String("angles")) {
            return ok(anglesCsv(dims));
        }
        if (command == QLatin1String("plot")) {
            return plot(parser, options, source);
        }
        if (command == QLatin1String("png")) {
            return png(parser, options, source);
        }
        if (command == QLatin1String("svg")) {
            return svg(parser, options, source);
        }
        if (command == QLatin1String("gif")) {
            return gif(parser, options, source, progress);
        }
        if (command == QLatin1String("save")) {
            return save(parser, options, source);
        }
        return ok(framesCsv(dims));
    } catch (const UsageError& error) {
        return usageError(error.message);
    }
}

} // namespace cyclar
