// Micro-benchmarks of the text rules and the file formats without the disk. Sizes are the demo game's
// own files at 1x, 10x and 100x, so that growth with size shows next to the absolute time.
#include "core/ScriptText.h"
#include "core/TextRules.h"
#include "modfiles/ModSettings.h"
#include "tools/demogame/DemoGame.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray botNames(int scale)
{
    QStringList names;
    for (int i = 0; i < scale; ++i) {
        for (const QString& name : DemoGame::BotNames)
            names.append(name + QString::number(i));
    }
    return DemoGame::botNamesFile(names);
}

QByteArray fileBytes(ModFile file, int scale)
{
    switch (file) {
    case ModFile::BotNames:
        return botNames(scale);
    case ModFile::ServerSettings:
        return DemoGame::serverSettings(scale);
    case ModFile::AIDefault:
        return DemoGame::aiDefault(scale);
    case ModFile::Scoring:
        return DemoGame::scoringScript(scale);
    }
    return {};
}

void BM_KeepDigits(benchmark::State& state)
{
    const QByteArray token = QByteArray("a1.b2-c3 ").repeated(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(TextRules::KeepDigits(token));
    state.SetBytesProcessed(state.iterations() * token.size());
}
BENCHMARK(BM_KeepDigits)->Arg(1)->Arg(100)->Arg(10000);

void BM_Val(benchmark::State& state)
{
    const QByteArray texts[] = {"0.5", " -2.5E1 rest", "&HFFFF", "1 2 3", "12345678.25"};
    for (auto _ : state) {
        for (const QByteArray& text : texts)
            benchmark::DoNotOptimize(TextRules::Val(text));
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_Val);

// The find that every load runs, on a server settings text scaled up.
void BM_ScriptFind(benchmark::State& state)
{
    const ScriptText text = ScriptText::fromFileBytes(DemoGame::serverSettings(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(text.valueToken("sv.vehiclesplashfriendlyfire ", 450));
    state.SetBytesProcessed(state.iterations() * text.text().size());
}
BENCHMARK(BM_ScriptFind)->Arg(1)->Arg(10)->Arg(100);

// A save that replaces a value occurring on every filler line: the case that a naive replacement makes
// quadratic.
void BM_ScriptReplaceEverywhere(benchmark::State& state)
{
    const ScriptText source(QByteArray("sv.maxPlayers 64\r\n").repeated(state.range(0)));
    for (auto _ : state) {
        ScriptText text = source;
        benchmark::DoNotOptimize(text.replaceToken("sv.maxplayers ", "64", "32"));
    }
    state.SetBytesProcessed(state.iterations() * source.text().size());
}
BENCHMARK(BM_ScriptReplaceEverywhere)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_LoadModFile(benchmark::State& state)
{
    const ModFile file = static_cast<ModFile>(state.range(0));
    const QByteArray bytes = fileBytes(file, int(state.range(1)));
    ModSettings mod;
    for (auto _ : state)
        mod.loadFile(file, bytes);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_RenderModFile(benchmark::State& state)
{
    const ModFile file = static_cast<ModFile>(state.range(0));
    ModSettings mod;
    mod.loadFile(file, fileBytes(file, int(state.range(1))));
    // Changed values, so the render really replaces.
    for (FriendlyFire which : ModFiles::AllFriendlyFire)
        mod.setValue(ModFiles::friendlyFireValue(which), 42);
    mod.setValue(ModFiles::maxBotsValue(), 16);
    mod.setValue(ModFiles::botSkillValue(), 70);
    if (!mod.ScoreValues().isEmpty())
        mod.setScoreValue(0, 99);
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray bytes = mod.renderFile(file);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void fileArgs(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"file", "scale"});
    for (ModFile file : {ModFile::BotNames, ModFile::ServerSettings, ModFile::AIDefault, ModFile::Scoring}) {
        for (int scale : {1, 10, 100})
            bench->Args({static_cast<int>(file), scale});
    }
}
BENCHMARK(BM_LoadModFile)->Apply(fileArgs);
BENCHMARK(BM_RenderModFile)->Apply(fileArgs);

} // namespace

BENCHMARK_MAIN();
