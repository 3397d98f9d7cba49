// How long the command-line intake takes for many files in one folder: the
// long-name look-ups, the short forms, the folder tests and the rendering,
// at 1,000, 10,000 and 32,767 files; and, with the window, the same intake
// ending in the real log box.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "intake/CommandLineIntake.h"
#include "intake/ShowFileList.h"
#include "platform/Platform.h"
#include "support/FakeEnvironment.h"
#include "support/FakeView.h"
#include "support/TempFolder.h"

#ifdef WITH_WINDOW
#include <QApplication>

#include "Form1.h"
#endif

namespace {

// One folder of files per size, made once for all runs.
const std::vector<std::string>& Arguments(int count) {
    static testing_support::TempFolder folder;
    static std::map<int, std::vector<std::string>> made;
    auto& arguments = made[count];
    if (arguments.empty()) {
        const std::string dir = folder / std::to_string(count);
        std::filesystem::create_directories(dir);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/%05d.MTS", i);
            testing_support::WriteFile(dir + name, "");
            arguments.push_back(dir + name);
        }
    }
    return arguments;
}

void CommandLineIntake(benchmark::State& state) {
    const auto& arguments = Arguments(static_cast<int>(state.range(0)));
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    testing_support::FakeEnvironment environment;
    environment.arguments.rawTokens = arguments;
    for (auto _ : state) {
        intake::FileList list;
        testing_support::FakeView view;
        intake::LoadFromCommandLine(list, environment, *platform.names, *platform.files, view);
        benchmark::DoNotOptimize(view.text.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(CommandLineIntake)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond)->Complexity();

void Rendering(benchmark::State& state) {
    intake::FileList list;
    for (const auto& path : Arguments(static_cast<int>(state.range(0)))) list.Append(path, path);
    testing_support::FakeView view;
    for (auto _ : state) {
        intake::ShowFileList(list, view);
        benchmark::DoNotOptimize(view.text.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(Rendering)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond)->Complexity();

#ifdef WITH_WINDOW
class Arguments_ : public platform::Environment {
public:
    explicit Arguments_(const std::vector<std::string>& a) : arguments_(a) {}
    std::string TemporaryFolder() override { return "/tmp"; }
    platform::ProgramArguments Arguments() override { return {"", arguments_}; }
    std::string ProgramFolder() override { return "/tmp"; }

private:
    std::vector<std::string> arguments_;
};

void IntakeIntoTheWindow(benchmark::State& state) {
    const auto& arguments = Arguments(static_cast<int>(state.range(0)));
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    platform.environment = std::make_unique<Arguments_>(arguments);
    for (auto _ : state) {
        app::Form1 form(platform);
        form.Form_Load();
        benchmark::DoNotOptimize(form.files.iFileCount);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(IntakeIntoTheWindow)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond)->Complexity();
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef WITH_WINDOW
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
