#include "app/gui/listing_runner.h"

namespace quillary {

namespace {

class EngineRunner final : public ListingRunner {
public:
    explicit EngineRunner(ListingHost& host) : m_engine(&host) {}

    void Run(RunTarget target) override {
        m_engine.SetRunTarget(std::move(target));
        m_engine.Run();
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
