#include "app/gui/listing_runner.h"

namespace quillary {

namespace {

class EngineRunner final : public ListingRunner {
public:
    explicit EngineRunner(ListingHost& host) : m_engine(&host) {}

    RunOutcome Run(RunTarget target) override {
        const bool preview = target.previewRun;
        m_engine.SetRunTarget(std::move(target));
        RunOutcome outcome;
        const RunResult result = m_engine.Run();
        outcome.status = result.status;
        outcome.outputPath = result.outputPath;
        outcome.previewRun = preview;
        outcome.cancelled = result.status == RunStatus::Cancelled;
        return outcome;
    }

    void RequestCancel() override { m_engine.RequestCancel(); }

private:
    ListingEngine m_engine;
};

} // namespace

std::unique_ptr<ListingRunner> MakeEngineRunner(ListingHost& host) {
    return std::make_unique<EngineRunner>(host);
}

} // namespace quillary
