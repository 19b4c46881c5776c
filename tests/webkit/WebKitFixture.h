#pragma once

#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "platform/GLibMainExecutor.h"
#include "platform/Result.h"
#include "web/GtkWebView.h"
#include "web/WebKitWebViewFactory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace norla::test {

// A demo server on free ports, a GLib main executor on the default context, the real URL parser, a
// temporary data directory, and helpers that run the main loop until WebKit has answered.
class WebKitFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The demo application's origin, e.g. "http://127.0.0.1:41234"; and the second one on the other port.
    const std::string& origin() const { return m_origin; }
    const std::string& otherOrigin() const { return m_otherOrigin; }
    const std::filesystem::path& dataDirectory() const { return m_dataDirectory->path(); }

    // A web view in a shown window, so that it is as the application has it.
    std::shared_ptr<GtkWebView> show(std::shared_ptr<WebView> webView);
    void loadAndWait(GtkWebView& webView, const std::string& url);
    // Starts something that loads a page and waits until a load has finished.
    bool waitForLoad(GtkWebView& webView, const std::function<void()>& start, int seconds = 30);
    // Runs an async function body in the page and waits for its result, for at most `seconds`.
    Result<Value> call(GtkWebView& webView, const std::string& body, Value::Object arguments = {}, int seconds = 30);
    // Iterates the main loop until `done` holds; fails the test after `seconds`.
    bool runUntil(const std::function<bool()>& done, int seconds = 30);

private:
    TestEnvironment m_environment;
    std::string m_origin;
    std::string m_otherOrigin;
    std::optional<TemporaryDirectory> m_dataDirectory;
    GPid m_server = 0;
    std::vector<GtkWindow*> m_windows;
};

} // namespace norla::test
