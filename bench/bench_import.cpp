// Import of ten 1024 x 1024 frames through the shared import loop (Import pictures' rules, a
// scripted file dialog) against decoding the same files one after another with a bare
// QImageReader, in the same run. bench/README.md gives the ratios.
#include "pictures/ImportFiles.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Desktop.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>

namespace {

// Answers every picture file dialog with the same files; no message is expected.
class ScriptedDesktop : public Desktop
{
public:
    explicit ScriptedDesktop(QStringList files) : m_files(std::move(files)) { Desktop::install(this); }
    ~ScriptedDesktop() override { Desktop::install(nullptr); }

    void messageBox(const QString&) override { ++messages; }
    std::optional<QStringList> choosePictureFiles() override { return m_files; }
    std::optional<QString> chooseSaveFile() override { return std::nullopt; }
    void openLink(const QString&) override {}
    void notify(const QString&, const QString&, QWidget*) override {}

    int messages = 0;

private:
    QStringList m_files;
};

// Ten copies of the real frame under distinct names, made once per format.
const QStringList& frames(const char* suffix)
{
    static QTemporaryDir dir;
    static std::map<std::string, QStringList> made;
    QStringList& paths = made[suffix];
    if (paths.isEmpty()) {
        const QString source = QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.") +
                               QString::fromLatin1(suffix);
        for (int i = 0; i < 10; ++i) {
            const QString path =
                dir.filePath(QStringLiteral("frame_%1.%2").arg(i).arg(QString::fromLatin1(suffix)));
            QFile::copy(source, path);
            paths << path;
        }
    }
    return paths;
}

void importFrames(benchmark::State& state, const char* suffix)
{
    ScriptedDesktop desktop(frames(suffix));
    ImportRules rules;
    rules.limit = 10;
    rules.ordered = true;
    for (auto _ : state) {
        PictureList list;
        ImportFiles(list, rules);
        if (list.GetCount() != 10 || desktop.messages != 0)
            state.SkipWithError("the import did not place ten pictures");
        state.PauseTiming();
        list.RemoveAll();
        state.ResumeTiming();
    }
}

void decodeFrames(benchmark::State& state, const char* suffix)
{
    const QStringList& paths = frames(suffix);
    for (auto _ : state) {
        for (const QString& path : paths) {
            QImageReader reader(path);
            QImage image = reader.read();
            benchmark::DoNotOptimize(image.constBits());
        }
    }
}

// The same files through the program's own loader on this thread alone, without the loop.
void loadFrames(benchmark::State& state, const char* suffix)
{
    const QStringList& paths = frames(suffix);
    for (auto _ : state) {
        for (const QString& path : paths) {
            auto loaded = LoadPictureFile(path, 96, 96);
            benchmark::DoNotOptimize(loaded->picture.get());
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(loadFrames, Jpeg, "jpg")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(decodeFrames, Jpeg, "jpg")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(importFrames, Jpeg, "jpg")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(decodeFrames, Gif, "gif")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(importFrames, Gif, "gif")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
