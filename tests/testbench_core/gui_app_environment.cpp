// Text and picture rendering needs a QGuiApplication; one is created for the whole run on the
// headless platform.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "testbench_core_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kGuiApp =
    ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

}  // namespace
