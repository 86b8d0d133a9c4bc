// What the cyclar-export commands share: strict reading of numbers and options, the view, speed
// and output file of the picture and file commands, and the JSON and CSV writers.
#include "command.h"

#include "artwork.h"
#include "design_result_text.h"
#include "frame.h"
#include "linkage_model.h"
#include "significant_text.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cyclar {

const QCommandLineOption& ExportOptions::operator[](CommandOption option) const
{
    switch (option) {
    case CommandOption::t:
        return t;
    case CommandOption::frame:
        return frame;
    case CommandOption::circuit:
        return circuit;
    case CommandOption::evenInput:
        return evenInput;
    case CommandOption::turn:
        return turn;
    case CommandOption::tilt:
        return tilt;
    case CommandOption::speed:
        return speed;
    case CommandOption::scale:
        return scale;
    case CommandOption::rates:
        return rates;
    case CommandOption::rotationAxis:
        return rotationAxis;
    case CommandOption::input:
        return input;
    case CommandOption::branch:
        return branch;
    case CommandOption::format:
        return format;
    case CommandOption::output:
        break;
    }
    return output;
}

QString optionValueName(const ExportCommand& command, CommandOption option)
{
    if (option == CommandOption::output) {
        return QStringLiteral("FILE") + QLatin1String(command.outputSuffix);
    }
    return ExportOptions()[option].valueName();
}

ExportResult ok(QByteArray text)
{
    ExportResult result;
    result.out = std::move(text);
    return result;
}

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

std::optional<QString> single(const QCommandLineParser& parser, const QCommandLineOption& option)
{
    if (parser.values(option).size() > 1) {
        throw UsageError{
            QStringLiteral("--%1 given more than once; give it once").arg(option.names().last())};
    }
    if (!parser.isSet(option)) {
        return std::nullopt;
    }
    return parser.value(option);
}

std::optional<int> wholeOption(const QCommandLineParser& parser, const QCommandLineOption& option,
                               int low, int high, const char* what)
{
    const std::optional<QString> text = single(parser, option);
    if (!text) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) {
        // "a whole number from 1 to 360", or "a whole number of degrees from -90 to 90"
        const QString counted = *what ? QLatin1Char(' ') + QLatin1String(what) : QString();
        throw UsageError{QStringLiteral("--%1 '%2' must be a whole number%3 from %4 to %5")
                             .arg(option.names().last(), *text, counted)
                             .arg(low)
                             .arg(high)};
    }
    return value;
}

FileView viewOf(const CommandInput& input)
{
    FileView view = input.source.view.value_or(FileView{});
    if (const std::optional<int> turn =
            wholeOption(input.parser, input.options.turn, -90, 90, "of degrees")) {
        view.turn = *turn;
    }
    if (const std::optional<int> tilt =
            wholeOption(input.parser, input.options.tilt, -90, 90, "of degrees")) {
        view.tilt = *tilt;
    }
    // --rotation-axis turns the drawing on; a file's own setting stands without it.
    for (const OptionUse& use : input.command.options) {
        if (use.option == CommandOption::rotationAxis
            && input.parser.isSet(input.options.rotationAxis)) {
            view.rotationAxis = true;
        }
    }
    return view;
}

MotionChoice motionOf(const CommandInput& input)
{
    MotionChoice motion = input.source.motion;
    if (const std::optional<QString> circuit = single(input.parser, input.options.circuit)) {
        const QString text = circuit->trimmed();
        if (text != QLatin1String("1") && text != QLatin1String("2")) {
            throw UsageError{
                QStringLiteral("--circuit '%1' must be 1 or 2 (a linkage has at most two)")
                    .arg(*circuit)};
        }
        motion.circuit = text.toInt();
        if (motion.circuit == 2 && circuitCount(buildLinkageModel(input.source.dimensions)) < 2) {
            throw UsageError{QStringLiteral("--circuit 2: this linkage has one circuit only, "
                                            "which it can move all round without being taken "
                                            "apart")};
        }
    }
    if (input.parser.isSet(input.options.evenInput)) {
        motion.evenInput = true;
    }
    return motion;
}

int speedOf(const CommandInput& input)
{
    if (const std::optional<int> speed =
            wholeOption(input.parser, input.options.speed, 0, 100, "(slider position)")) {
        return *speed;
    }
    return input.source.speed.value_or(50);
}

QString outputPath(const CommandInput& input)
{
    const QString command = QLatin1String(input.command.name);
    const QLatin1String suffix(input.command.outputSuffix);
    const std::optional<QString> path = single(input.parser, input.options.output);
    if (!path || path->isEmpty()) {
        throw UsageError{
            QStringLiteral("%1 needs -o FILE%2, the file to write").arg(command, suffix)};
    }
    if (!path->endsWith(suffix, Qt::CaseInsensitive)) {
        throw UsageError{
            QStringLiteral("-o '%1': the file name must end in %2").arg(*path, suffix)};
    }
    return *path;
}

void needPictures(const CommandInput& input)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throw UsageError{QStringLiteral("%1 needs the graphics library; run it from "
                                        "cyclar-export itself")
                             .arg(QLatin1String(input.command.name))};
    }
    // The same text face as the program's, bundled, so the label looks the same everywhere.
    initArtwork();
}

SceneState sceneOf(const LinkageFile& source, const FileView& view, const MotionChoice& motion)
{
    SceneState scene = newScene(source.dimensions, exportPictureSize);
    scene.schedule.motion = motion;
    scene.view.turn = view.turn;
    scene.view.tilt = view.tilt;
    return scene;
}

// The writers' errors name the file and give the system's reason; one that does not name the
// file gets it named here.
void writeFailed(const QString& path, const QString& error)
{
    throw UsageError{
        error.contains(path) ? error : QStringLiteral("could not write '%1': %2").arg(path, error)};
}

QByteArray csv(double value)
{
    return QByteArray::fromStdString(shortestNumberText(value));
}

// The text is UTF-8: only quotes, backslashes and controls need escapes.
QByteArray jsonString(const std::string& text)
{
    return QByteArray::fromStdString(jsonQuoted(text));
}

} // namespace cyclar
