// The session page as a real browser sees it: headless Chromium loads the
// page, a probe script added to a copy of it reads the parsed document, and
// the test checks what the probe found in the DOM that Chromium prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "browser.h"
#include "game_log.h"

namespace fs = std::filesystem;

namespace {

// Runs after the page is parsed; everything it reports is plain ASCII (the
// names go through encodeURIComponent), so the printed DOM carries it
// unchanged.
constexpr const char* PROBE = R"(
<script>
(function () {
  var out = [];
  var table = document.querySelector('table[border="2"]');
  out.push('tables=' + document.querySelectorAll('table').length);
  out.push('rows=' + table.rows.length);
  var widths = [];
  for (var i = 0; i < table.rows.length; i++) widths.push(table.rows[i].cells.length);
  out.push('cells=' + widths.join(','));
  out.push('pwn=' + (document.getElementById('pwn') ? 'found' : 'none'));
  out.push('pwned=' + (document.body.getAttribute('data-pwned') || 'none'));
  out.push('scripts=' + document.scripts.length);
  out.push('handlers=' + document.querySelectorAll('[onerror]').length);
  var names = [];
  for (var i = 1; i < table.rows.length; i++)
    names.push(encodeURIComponent(table.rows[i].cells[1].textContent.trim()));
  out.push('names=' + names.join(','));
  var pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = out.join(';');
  document.body.appendChild(pre);
})();
</script>
)";

class SessionPage : public ScratchFolder {};

TEST_F(SessionPage, BrowserShowsFifteenColumnsAndHostileNamesAsText) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the page is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";

    const std::string script_name = "<script>document.body.setAttribute(\"data-pwned\",\"script\")</script>";
    const std::string image_name =
        "<img id=\"pwn\" src=\"none\" onerror=\"document.body.setAttribute('data-pwned','img')\">";
    const std::string players =
        connect_lines(0, "Alice") + connect_lines(1, script_name, true, "", "3.000000") + connect_lines(2, image_name);
    write_game_log(
        dir(), 0,
        game_text({.setup = players,
                   .play = kill_line("100.00", 0, "Rocket Launcher", 1) + kill_line("200.00", 0, "Rocket Launcher", 1) +
                           kill_line("300.00", 2, "Rocket Launcher", 0)}));
    ASSERT_EQ(run_analyser_program({}, dir()).exit_code, 0);

    const std::string page = read_page(dir() / PAGE_NAME);
    ASSERT_FALSE(page.empty());
    const std::string probe = run_probe(dir(), page, PROBE);
    ASSERT_FALSE(probe.empty());

    EXPECT_EQ(probe_value(probe, "tables"), "2");
    // The header row and one row per session player, 15 cells each.
    EXPECT_EQ(probe_value(probe, "rows"), "4");
    EXPECT_EQ(probe_value(probe, "cells"), "15,15,15,15");
    // The names made no element, ran nothing and show as they were logged.
    expect_names_stayed_text(probe);
    std::vector<std::string> shown;
    for (const std::string& name : split(probe_value(probe, "names"), ',')) shown.push_back(percent_decoded(name));
    EXPECT_EQ(shown, (std::vector<std::string>{"Alice", image_name, script_name}));
}

}  // namespace
