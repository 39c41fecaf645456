#include "browser.h"

#include <gtest/gtest.h>

#include "analysis_test_support.h"

namespace {

std::string shell_quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string percent_decoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

std::string probe_value(const std::string& probe, const std::string& key) {
    for (const std::string& entry : split(probe, ';'))
        if (entry.starts_with(key + "=")) return entry.substr(key.size() + 1);
    return "<missing>";
}

std::string run_probe(const std::filesystem::path& folder, const std::string& page, const std::string& probe, int width,
                      bool dark) {
    write_file(folder / "probe.html", page + probe);
    std::string shown = "probe.html";
    if (width > 0) {
        // The frame's document is read when it has loaded, before the top
        // one has: its probe's report is copied into the top document.
        write_file(folder / "frame.html",
                   "<!DOCTYPE html><html><body style=\"margin:0\"><iframe src=\"probe.html\" style=\"border:0;width:" +
                       std::to_string(width) +
                       "px;height:900px\" onload=\"var p=document.createElement('pre');p.id='probe';"
                       "var q=this.contentDocument.getElementById('probe');p.textContent=q?q.textContent:'';"
                       "document.body.appendChild(p)\"></iframe></body></html>");
        shown = "frame.html";
    }
    const std::string command = "HOME=" + shell_quoted(folder.string()) + " exec timeout 120 " + CHROMIUM +
                                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                                " --disable-background-networking --disable-component-update --disable-sync"
                                " --allow-file-access-from-files --window-size=1100,900" +
                                std::string(dark ? " --force-dark-mode" : "") +
                                " --user-data-dir=" + shell_quoted((folder / "profile").string()) + " --dump-dom " +
                                shell_quoted("file://" + (folder / shown).string()) + " 2>chromium.log";
    const RunResult browser = run_program("sh", {"-c", command}, folder);
    EXPECT_EQ(browser.exit_code, 0) << read_file(folder / "chromium.log");
    const std::string open_tag = "<pre id=\"probe\">";
    const std::size_t start = browser.out.find(open_tag);
    EXPECT_NE(start, std::string::npos) << browser.out;
    if (start == std::string::npos) return "";
    const std::size_t value = start + open_tag.size();
    return browser.out.substr(value, browser.out.find("</pre>", value) - value);
}

void expect_names_stayed_text(const std::string& probe) {
    EXPECT_EQ(probe_value(probe, "pwn"), "none");
    EXPECT_EQ(probe_value(probe, "pwned"), "none");
    EXPECT_EQ(probe_value(probe, "scripts"), "1");  // the probe itself
    EXPECT_EQ(probe_value(probe, "handlers"), "0");
}
