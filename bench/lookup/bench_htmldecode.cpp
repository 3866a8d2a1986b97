// HTML to text on a generated 1 MB call-book-like page, beside gumbo's own parse of it, and
// page bytes to text for 1 MB pages of the shapes that cost a tree parser the most.

#include "lookup/Fetch.h"
#include "lookup/HtmlDecode.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <sys/resource.h>

#include <memory>
#include <vector>

namespace {

// About size bytes of markup shaped like call-book result pages: layout tables around data
// tables, labels and values in neighbouring cells, inline markup, entities, comments and scripts.
QByteArray callbookPage(qsizetype size)
{
    QByteArray out =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Callbook</title>"
        "<style>td{font:10pt Arial}.l{font-weight:bold}</style></head><body>\n";
    for (int i = 0; out.size() < size; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "<table width=\"100%\" border=0 cellpadding=2><tr><td valign=top>"
               "<a href=\"/db/W" + n + "AW\"><img src=\"flag.gif\" alt=\"flag\"></a><br>"
               "<font size=1>Lookups: " + n + "</font></td><td>\n"
               "<!-- record " + n + " -->\n"
               "<table class=\"data\">\n"
               " <tr><td colspan=2><h2>W" + n + "AW</h2></td></tr>\n"
               " <tr><td class=l>Name</td><td><b>HIRAM</b> PERCY&nbsp;MAXIM &amp; Co.</td></tr>\n"
               " <tr><td class=l>Address</td><td>225 Main St<br>Newington, CT 06111</td></tr>\n"
               " <tr><td class=l>Country</td><td><span class=\"c\">United States</span></td></tr>\n"
               " <tr><td class=l>Latitude</td><td>41.714775 &deg;N</td></tr>\n"
               " <tr><td class=l>Longitude</td><td>-72.727260 &deg;W</td></tr>\n"
               " <tr><td class=l>Class</td><td><i>Extra</i> &nbsp;</td></tr>\n"
               " <tr><td class=l>QTH</td><td>Jos&eacute; &lt;home&gt; &#169; 2015</td></tr>\n"
               "</table></td></tr></table>\n"
               "<script>var r" + n + " = '<td>' + \"" + n + "\";</script>\n"
               "<p>See <a href=\"http://www.example.org/\">the web page</a> for "
               "more &hellip;</p><div class=\"sep\"><hr></div>\n";
    }
    out += "</body></html>\n";
    return out;
}

const QByteArray &page()
{
    static const QByteArray markup = callbookPage(1024 * 1024);
    return markup;
}

// About 1 MB of unit repeated, between head and tail.
QByteArray repeated(const QByteArray &head, const QByteArray &unit, const QByteArray &tail)
{
    QByteArray out = head;
    while (out.size() + unit.size() + tail.size() <= 1024 * 1024)
        out += unit;
    return out + tail;
}

// What a page load does with the body: bytes to text, then HTML to text.
void BM_PageDecode(benchmark::State &state, const QByteArray &bytes)
{
    qsizetype textSize = 0;
    for (auto _ : state) {
        const QString text = torvane::HTMLDecode(torvane::decodePageBytes(bytes, "text/html"));
        textSize = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["text_chars"] = double(textSize);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // The process's peak so far: run one shape alone to see its own.
    state.counters["peak_rss_MiB"] = double(usage.ru_maxrss) / 1024.0;
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

// The same kind of bump allocator as HTMLDecode parses with.
class Arena {
public:
    static void *allocate(void *arena, size_t size)
    {
        auto *self = static_cast<Arena *>(arena);
        size = (size + 7) & ~size_t(7);
        if (size > self->m_left) {
            const size_t blockSize = size > kBlock ? size : kBlock;
            self->m_blocks.emplace_back(new char[blockSize]);
            self->m_next = self->m_blocks.back().get();
            self->m_left = blockSize;
        }
        void *out = self->m_next;
        self->m_next += size;
        self->m_left -= size;
        return out;
    }
    static void release(void *, void *) {}

private:
    static constexpr size_t kBlock = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char *m_next = nullptr;
    size_t m_left = 0;
};

void BM_HTMLDecode(benchmark::State &state)
{
    const QString markup = QString::fromUtf8(page());
    for (auto _ : state) {
        QString text = torvane::HTMLDecode(markup);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * page().size());
}

// gumbo_parse alone, as it comes; freeing the tree is left out of the time.
void BM_GumboParse(benchmark::State &state)
{
    const QByteArray &markup = page();
    for (auto _ : state) {
        GumboOutput *output = gumbo_parse(markup.constData());
        benchmark::DoNotOptimize(output);
        state.PauseTiming();
        gumbo_destroy_output(&kGumboDefaultOptions, output);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * markup.size());
}

// gumbo's parse with the options HTMLDecode uses (bump allocator, no error list), arena
// release included: HTMLDecode minus this is the cost of rendering the tree to text.
void BM_GumboParseArena(benchmark::State &state)
{
    const QByteArray &markup = page();
    for (auto _ : state) {
        Arena arena;
        GumboOptions options = kGumboDefaultOptions;
        options.allocator = &Arena::allocate;
        options.deallocator = &Arena::release;
        options.userdata = &arena;
        options.max_errors = 0;
        GumboOutput *output =
            gumbo_parse_with_options(&options, markup.constData(), size_t(markup.size()));
        benchmark::DoNotOptimize(output);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * markup.size());
}

}  // namespace

BENCHMARK(BM_HTMLDecode)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_GumboParse)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_GumboParseArena)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Shapes: a call-book page; "<div>" nested without end; "<b>x" repeated (formatting nested
// without end); one flat table of short rows; plain text with no markup at all; the largest
// call-book page a page load accepts.
BENCHMARK_CAPTURE(BM_PageDecode, callbook, page())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PageDecode, deep_div, repeated("", "<div>", "deep"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PageDecode, bold_x, repeated("", "<b>x", ""))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PageDecode, flat_table,
                  repeated("<table>", "<tr><td>W1AW</td><td>41.7</td></tr>\n", "</table>"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PageDecode, plain_text,
                  repeated("", "W1AW Hiram Percy Maxim, Newington CT 06111 &amp; more\r\n", ""))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PageDecode, largest_page, callbookPage(torvane::kMaxPageBytes - 2048))
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
