#pragma once
// Runs the document walk with the checks on a configuration compiled from source text, and shows
// what it emitted in a compact form.

#include <functional>
#include <memory>
#include <string>

#include "engine/ConfigClass.h"
#include "engine/run/ValidateArgs.h"
#include "engine/tests/EngineFixture.h"

// Compiles configuration source into a fresh store; fails the test on an error.
CfgStore* compileConfiguration(const std::string& source);
// The shipped configuration source (data/config/orvalenlite30.txt).
std::string shippedConfigurationSource();
// A file of the tests folder, whole.
std::string readTestFile(const std::string& relative);

class CheckTest : public EngineTest {
protected:
    void TearDown() override;

    // Uses configuration source for the following runs.
    void configure(const std::string& source);
    // Validates doc; before may change the run's options.
    int run(const std::string& doc, const std::function<void(zel::run::RunOptions&)>& before = {});

    // "id@line:char" of every shown error, warning and message, in display order.
    std::string messages() const;
    // Ids of the shown comments but the summary.
    std::string hints() const;
    // The text of the first shown record with the id.
    std::string textOf(int32_t id) const;

    zel::run::RunOptions options;
    std::unique_ptr<ConfigClass> config;
    std::unique_ptr<zel::run::MsgStore> store;
    std::unique_ptr<zel::run::ValidateArgsClass> args;
    zel::run::LineBuffer out;
    std::string extension = "html";
};
