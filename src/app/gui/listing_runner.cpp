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
        outcome.status = m_engine.Run();
        outcome.outputPath = m_engine.OutputPath();
        outcome.previewRun = preview;
        outcome.cancelled = m_engine.Statistics().cancelled;
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
