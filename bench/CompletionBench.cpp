// The completion list over every PHP function of the data file: filtering it by one more typed
// character, and opening the pop-up with it in an editor (lists given by the execute handler as
// the IDE gives them, the window placed and shown). Beside them a plain prefix scan of the same
// names, the least any filter has to do. Each must stay within 2 ms.

#include "code/zuCompletionData.h"

#include "SrcEdit/Source/completion/SrcEditCompletionProposal.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "ComparingReporter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

TCompletionData* Data = nullptr;

const char* const Typed[][2] = {{"", "s"}, {"st", "str"}, {"str_", "str_r"}};

void ApplyOptions(TSrcBaseCompletionProposalForm& form)
{
    form.LimitToMatchedText = true;
    form.UseInsertList = true;
    form.UsePrettyText = true;
    form.CaseSensitive = true;
}

// One more character typed (even iterations) or taken back (odd ones) in a shown list.
void FilterOneMoreCharacter(benchmark::State& state)
{
    TSrcBaseCompletionProposalForm form(nullptr);
    ApplyOptions(form);
    form.SetItemList(Data->PHPItems);
    form.SetInsertList(Data->PHPInserts);
    const auto& pair = Typed[state.range(0)];
    form.SetCurrentString(pair[0]);
    bool longer = true;
    for (auto _ : state) {
        form.SetCurrentString(pair[longer ? 1 : 0]);
        longer = !longer;
    }
    form.SetCurrentString(pair[1]);
    state.counters["shown"] = form.AssignedCount();
    state.SetLabel(std::string("\"") + pair[0] + "\" to \"" + pair[1] + "\"");
}
BENCHMARK(FilterOneMoreCharacter)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The baseline: the names that start with the longer text, by a plain comparison of bytes.
void PrefixScan(benchmark::State& state)
{
    std::vector<std::string> names;
    for (int i = 0; i < Data->PHPInserts.Count(); ++i)
        names.push_back(Data->PHPInserts.Get(i));
    const std::string typed = Typed[state.range(0)][1];
    std::vector<int> shown;
    for (auto _ : state) {
        shown.clear();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i].size() >= typed.size() && std::memcmp(names[i].data(), typed.data(), typed.size()) == 0)
                shown.push_back(static_cast<int>(i));
        benchmark::DoNotOptimize(shown.data());
    }
    state.counters["shown"] = static_cast<double>(shown.size());
}
BENCHMARK(PrefixScan)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// Ctrl+Space after "str": the handler gives the lists, the window is placed and shown; then
// it hides again for the next round.
void OpenPopup(benchmark::State& state)
{
    TSrcEdit editor;
    editor.resize(600, 400);
    editor.show();
    editor.SetAllText("<?php\nstr");
    editor.SetCaretCoord(MakeBufferCoord(4, 2));
    TSrcCompletionProposal proposal(nullptr);
    proposal.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText, scoEndCharCompletion,
                         scoConsiderWordBreakChars, scoCompleteWithTab, scoCompleteWithEnter, scoCaseSensitive});
    proposal.SetEndOfTokenChr(" (>!%/=;");
    proposal.SetWidth(300);
    proposal.Columns().Add().BiggestWord = "superglobal ";
    proposal.Columns().Add().BiggestWord = "CONSTRUCTOR";
    proposal.OnExecute = [&](SrcCompletionType, TObject*, std::string&, int&, int&, bool&) {
        proposal.SetItemList(Data->PHPItems);
        proposal.SetInsertList(Data->PHPInserts);
    };
    proposal.SetEditor(&editor);
    for (auto _ : state) {
        proposal.OpenFor(&editor);
        if (!proposal.Visible())
            state.SkipWithError("the list did not open");
        proposal.Form().HidePopup();
    }
    state.counters["shown"] = proposal.Form().AssignedCount();
}
BENCHMARK(OpenPopup)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TCompletionData data;
    data.LoadPHPCompletion(ZENTU_DATA_DIR);
    Data = &data;
    std::printf("%d PHP functions and %d variables\n", data.PHPFunctionCount(),
                data.PHPItems.Count() - data.PHPFunctionCount());

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (int i = 0; i < 3; ++i) {
        const double filter = reporter.Find("FilterOneMoreCharacter/" + std::to_string(i));
        const double scan = reporter.Find("PrefixScan/" + std::to_string(i));
        if (filter > 0 && scan > 0)
            std::printf("filtering \"%s\" to \"%s\": %.3f ms, %.1fx the plain prefix scan (at most 2 ms)\n",
                        Typed[i][0], Typed[i][1], filter * 1e3, filter / scan);
    }
    if (const double open = reporter.Find("OpenPopup"); open > 0)
        std::printf("opening the list at \"str\": %.3f ms (at most 2 ms)\n", open * 1e3);
    return 0;
}
