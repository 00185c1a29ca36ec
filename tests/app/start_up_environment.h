#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "xvfb_server.h"
#include "zyl_app.h"

// The program's own start-up (ZylApp) for the whole test run, on the xcb platform of a
// private Xvfb when one can be started, else offscreen. Set up only when tests run, not
// when they are listed.
class StartUpEnvironment : public testing::Environment {
public:
    StartUpEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override {
        xvfb_ = std::make_unique<XvfbServer>();
        if (xvfb_->running()) {
            setenv("DISPLAY", xvfb_->display().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
        } else {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        app_ = std::make_unique<ZylApp>(argc_, argv_);
    }

    void TearDown() override {
        app_.reset();
        xvfb_.reset();
    }

    // Empty when the windows are on an X server; else why not.
    static std::string noDisplay() {
        return instance->xvfb_->running() ? std::string() : instance->xvfb_->error();
    }

    static inline StartUpEnvironment* instance = nullptr;

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<XvfbServer> xvfb_;
    std::unique_ptr<ZylApp> app_;
};
