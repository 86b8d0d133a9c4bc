// Fuzzes a number field: any bytes as its text, through the saving exchange and the range test.
// The field must end with a stored value that strtod reads from the same text, or with one of
// the two validation messages; never anything else.
#include "data_exchange.h"

#include <QApplication>
#include <QLineEdit>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Fixture {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QLineEdit> field;
};

// Made once and never destroyed: tearing Qt down among the static destructors at exit would
// crash, and the fixture stays reachable, so it is no leak.
Fixture& fixture()
{
    static Fixture* const f = [] {
        auto* made = new Fixture;
        static int argc = 1;
        static char name[] = "fuzz_number_field";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        made->app = std::make_unique<QApplication>(argc, argv);
        made->field = std::make_unique<QLineEdit>();
        made->field->setMaxLength(1 << 20);
        return made;
    }();
    return *f;
}

// What strtod reads from the text as the field hands it over: its first 31 characters
// (Latin-1 here), blanks and tabs skipped at both ends.
double strtodOf(const QString& text)
{
    QByteArray bytes = text.left(31).toLatin1();
    int first = 0;
    int last = static_cast<int>(bytes.size());
    while (first < last && (bytes[first] == ' ' || bytes[first] == '\t'))
        ++first;
    while (last > first && (bytes[last - 1] == ' ' || bytes[last - 1] == '\t'))
        --last;
    const std::string trimmed(bytes.constData() + first, static_cast<size_t>(last - first));
    return std::strtod(trimmed.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    if (size < 2)
        return 0;
    // The first byte picks the bounds; the rest is the field's text, read as UTF-8 or Latin-1.
    const uint8_t mode = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const qsizetype length = static_cast<qsizetype>(size - 1);
    const QString fieldText =
        (mode & 1) ? QString::fromUtf8(text, length) : QString::fromLatin1(text, length);
    static const double bounds[][2] = {{0, 1000}, {-1000, 1000}, {0, 105}, {0, -25}, {5, 5}};
    const double* range = bounds[(mode >> 1) % 5];

    f.field->setText(fieldText);
    int messages = 0;
    QString message;
    cyclar::DataExchange dx(nullptr, true, [&](QWidget*, const QString& shown) {
        ++messages;
        message = shown;
    });
    double value = 12345.5; // marks "not stored"
    dx.text(f.field.get(), value);
    const bool parsed = !dx.failed();
    dx.minMax(f.field.get(), value, range[0], range[1]);

    if (!parsed) {
        if (messages != 1 || message != QLatin1String("Please enter a number.") || value != 12345.5)
            std::abort();
        return 0;
    }
    // Stored before the range test, and exactly what strtod reads.
    if (!std::isfinite(value) || value != strtodOf(f.field->text()))
        std::abort();
    const bool inRange = range[0] <= value && value <= range[1];
    if (inRange ? messages != 0
                : (messages != 1
                   || !message.startsWith(QLatin1String("Please enter a number between "))))
        std::abort();
    return 0;
}
