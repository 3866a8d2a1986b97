#include "lookup/HtmlDecode.h"

#include "core/TextUtil.h"
#include "lookup/HtmlChars.h"
#include "lookup/NestingLimit.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace torvane {

namespace {

// True when a style attribute value sets display to none ("display : NONE" and the like).
bool styleHidesElement(const char *style)
{
    std::string s;
    for (const char *p = style; *p; ++p) {
        if (!isHtmlSpace(static_cast<unsigned char>(*p)))
            s.push_back(asciiLower(*p));
    }
    std::string::size_type at = 0;
    while ((at = s.find("display:none", at)) != std::string::npos) {
        // Not part of a longer property name such as "-webkit-box-display".
        if (at == 0 || s[at - 1] == ';' || s[at - 1] == '{')
            return true;
        ++at;
    }
    return false;
}

enum class Display : unsigned char {
    Skip,       // not rendered at all
    Inline,     // no line breaks of its own
    Block,      // a line break before and after
    Paragraph,  // an empty line before and after
    Preformatted,
    Row,        // a line break after
    Cell,       // a tab after, unless it is the row's last cell
    LineBreak,  // <br>
};

Display displayOf(const GumboElement &element)
{
    if (element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return Display::Skip;  // svg and math: icons and formulas, no page text
    switch (element.tag) {
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_META: case GUMBO_TAG_LINK:
    case GUMBO_TAG_BASE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_IFRAME: case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_SELECT: case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_OBJECT: case GUMBO_TAG_APPLET:
    case GUMBO_TAG_PARAM: case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_AREA:
    case GUMBO_TAG_INPUT: case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL: case GUMBO_TAG_RP:
        return Display::Skip;
    case GUMBO_TAG_BR:
        return Display::LineBreak;
    case GUMBO_TAG_P:
        return Display::Paragraph;
    case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_XMP: case GUMBO_TAG_PLAINTEXT:
        return Display::Preformatted;
    case GUMBO_TAG_TR:
        return Display::Row;
    case GUMBO_TAG_TD: case GUMBO_TAG_TH:
        return Display::Cell;
    case GUMBO_TAG_HTML: case GUMBO_TAG_BODY: case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE: case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DD: case GUMBO_TAG_DETAILS: case GUMBO_TAG_DIR:
    case GUMBO_TAG_DIV: case GUMBO_TAG_DL: case GUMBO_TAG_DT: case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_FIGCAPTION: case GUMBO_TAG_FIGURE: case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM: case GUMBO_TAG_FRAMESET: case GUMBO_TAG_H1: case GUMBO_TAG_H2:
    case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6:
    case GUMBO_TAG_HEADER: case GUMBO_TAG_HGROUP: case GUMBO_TAG_HR: case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LI: case GUMBO_TAG_MAIN: case GUMBO_TAG_MENU: case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL: case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY: case GUMBO_TAG_UL:
    case GUMBO_TAG_TABLE: case GUMBO_TAG_CAPTION:
        return Display::Block;
    default:
        return Display::Inline;
    }
}

// Whether an element is taken out of the rendering by its attributes.
bool hiddenByAttributes(const GumboElement &element)
{
    const GumboVector &attributes = element.attributes;
    for (unsigned i = 0; i < attributes.length; ++i) {
        const auto *attribute = static_cast<const GumboAttribute *>(attributes.data[i]);
        if (std::strcmp(attribute->name, "hidden") == 0)
            return true;
        if (std::strcmp(attribute->name, "style") == 0 && styleHidesElement(attribute->value))
            return true;
    }
    return false;
}

// Whether another td or th follows this cell in its row.
bool hasFollowingCell(const GumboNode *cell)
{
    const GumboNode *row = cell->parent;
    if (!row || (row->type != GUMBO_NODE_ELEMENT && row->type != GUMBO_NODE_TEMPLATE))
        return false;
    const GumboVector &siblings = row->v.element.children;
    for (unsigned i = cell->index_within_parent + 1; i < siblings.length; ++i) {
        const auto *next = static_cast<const GumboNode *>(siblings.data[i]);
        if (next->type == GUMBO_NODE_ELEMENT
            && (next->v.element.tag == GUMBO_TAG_TD || next->v.element.tag == GUMBO_TAG_TH))
            return true;
    }
    return false;
}

// Collects the rendered text in UTF-8. Line breaks that blocks ask for are held back until
// text follows, so that runs of them merge and none is left at either end; collapsible
// white space is held back the same way and dropped at the start and end of every line.
class TextRenderer {
public:
    explicit TextRenderer(std::size_t sizeHint) { m_out.reserve(sizeHint / 2); }

    void render(const GumboNode *root);
    std::string take() { return std::move(m_out); }

private:
    struct Frame {
        const GumboNode *node;
        unsigned nextChild;
        Display display;
        long long savedCellMark;
        long long contentAtEntry;
    };

    void enter(const GumboNode *node, Display display);
    bool hasOtherRows(const GumboNode *row);
    void leave(const Frame &frame);
    void text(const char *s, std::size_t n);
    void preformattedText(const char *s, std::size_t n);

    void requireBreaks(int count);
    void forcedBreak();
    void flushBreaks();
    void beginContent();
    void appendContent(const char *s, std::size_t n);

    std::string m_out;
    std::vector<Frame> m_stack;
    int m_pendingBreaks = 0;
    bool m_pendingSpace = false;
    bool m_atLineStart = true;
    bool m_lastWasBreak = false;
    int m_preformatted = 0;
    // Counts every piece of content; a cell notes the count on entry, so that line breaks
    // asked for before its first content stay inside the cell's line.
    long long m_contentCount = 0;
    long long m_cellMark = -1;
    std::unordered_map<const GumboNode *, bool> m_tablesOfRows;  // table: more than one row
};

void TextRenderer::render(const GumboNode *root)
{
    m_stack.push_back({root, 0, Display::Block, m_cellMark, m_contentCount});
    while (!m_stack.empty()) {
        Frame &top = m_stack.back();
        const GumboVector &children = top.node->v.element.children;
        if (top.nextChild >= children.length) {
            const Frame done = top;
            m_stack.pop_back();
            leave(done);
            continue;
        }
        const auto *child = static_cast<const GumboNode *>(children.data[top.nextChild++]);
        switch (child->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA: {
            const char *s = child->v.text.text;
            if (m_preformatted > 0)
                preformattedText(s, std::strlen(s));
            else
                text(s, std::strlen(s));
            break;
        }
        case GUMBO_NODE_ELEMENT: {
            const Display display = displayOf(child->v.element);
            if (display == Display::Skip || hiddenByAttributes(child->v.element))
                break;
            if (display == Display::LineBreak) {
                forcedBreak();
                break;
            }
            enter(child, display);
            break;
        }
        default:  // comments, templates, documents
            break;
        }
    }
}

void TextRenderer::enter(const GumboNode *node, Display display)
{
    m_stack.push_back({node, 0, display, m_cellMark, m_contentCount});
    switch (display) {
    case Display::Block: requireBreaks(1); break;
    case Display::Paragraph: requireBreaks(2); break;
    case Display::Preformatted: requireBreaks(1); ++m_preformatted; break;
    case Display::Cell: m_cellMark = m_contentCount; break;
    default: break;
    }
}

void TextRenderer::leave(const Frame &frame)
{
    switch (frame.display) {
    case Display::Block: requireBreaks(1); break;
    case Display::Paragraph: requireBreaks(2); break;
    case Display::Preformatted: --m_preformatted; requireBreaks(1); break;
    case Display::Row:
        // An empty row is still a line of its table, unless it is the table's only row.
        if (m_contentCount == frame.contentAtEntry && hasOtherRows(frame.node))
            forcedBreak();
        requireBreaks(1);
        break;
    case Display::Cell:
        if (hasFollowingCell(frame.node)) {
            // Breaks asked for inside the cell end with it; breaks from before an empty cell
            // still start its line.
            if (m_contentCount != m_cellMark)
                m_pendingBreaks = 0;
            m_pendingSpace = false;  // a blank at the cell's end is not kept before its tab
            beginContent();
            m_out.push_back('\t');
            m_atLineStart = true;
        }
        m_cellMark = frame.savedCellMark;
        break;
    default: break;
    }
}

bool TextRenderer::hasOtherRows(const GumboNode *row)
{
    const GumboNode *table = row->parent;
    if (table && table->type == GUMBO_NODE_ELEMENT && table->v.element.tag != GUMBO_TAG_TABLE)
        table = table->parent;  // from tbody, thead or tfoot
    if (!table || table->type != GUMBO_NODE_ELEMENT)
        return false;
    const auto known = m_tablesOfRows.find(table);
    if (known != m_tablesOfRows.end())
        return known->second;
    int rows = 0;
    const auto countRows = [&rows](const GumboVector &children, auto &self) -> void {
        for (unsigned i = 0; i < children.length && rows < 2; ++i) {
            const auto *child = static_cast<const GumboNode *>(children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT)
                continue;
            const GumboTag tag = child->v.element.tag;
            if (tag == GUMBO_TAG_TR)
                ++rows;
            else if (tag == GUMBO_TAG_TBODY || tag == GUMBO_TAG_THEAD || tag == GUMBO_TAG_TFOOT)
                self(child->v.element.children, self);
        }
    };
    countRows(table->v.element.children, countRows);
    return m_tablesOfRows[table] = rows > 1;
}

void TextRenderer::requireBreaks(int count)
{
    m_pendingSpace = false;
    if (m_cellMark == m_contentCount)
        return;  // the cell has no content yet: its line has not started
    if (count > m_pendingBreaks)
        m_pendingBreaks = count;
}

void TextRenderer::flushBreaks()
{
    if (m_pendingBreaks == 0)
        return;
    if (!m_out.empty()) {
        // A <br> that ended the line already counts as one of the breaks.
        for (int i = m_lastWasBreak ? 1 : 0; i < m_pendingBreaks; ++i)
            m_out.append("\r\n", 2);
        m_atLineStart = true;
    }
    m_pendingBreaks = 0;
}

void TextRenderer::forcedBreak()
{
    flushBreaks();
    m_out.append("\r\n", 2);
    ++m_contentCount;
    m_pendingSpace = false;
    m_atLineStart = true;
    m_lastWasBreak = true;
}

void TextRenderer::beginContent()
{
    flushBreaks();
    if (m_pendingSpace && !m_atLineStart)
        m_out.push_back(' ');
    m_pendingSpace = false;
    m_atLineStart = false;
    m_lastWasBreak = false;
    ++m_contentCount;
}

void TextRenderer::appendContent(const char *s, std::size_t n)
{
    beginContent();
    // A no-break space (C2 A0) becomes a blank that does not collapse.
    const char *end = s + n;
    while (s < end) {
        const void *hit = std::memchr(s, '\xC2', std::size_t(end - s));
        const char *c2 = hit ? static_cast<const char *>(hit) : end;
        m_out.append(s, std::size_t(c2 - s));
        if (c2 == end)
            break;
        if (c2 + 1 < end && c2[1] == '\xA0') {
            m_out.push_back(' ');
            s = c2 + 2;
        } else {
            m_out.push_back(*c2);
            s = c2 + 1;
        }
    }
}

void TextRenderer::text(const char *s, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        if (isHtmlSpace(static_cast<unsigned char>(s[i]))) {
            m_pendingSpace = true;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < n && !isHtmlSpace(static_cast<unsigned char>(s[j])))
            ++j;
        appendContent(s + i, j - i);
        i = j;
    }
}

void TextRenderer::preformattedText(const char *s, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        if (s[i] == '\n' || s[i] == '\r') {
            // CR LF, a lone CR and a lone LF are one line end each.
            if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n')
                ++i;
            forcedBreak();
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < n && s[j] != '\n' && s[j] != '\r')
            ++j;
        appendContent(s + i, j - i);
        i = j;
    }
}

// Bump allocator for one parse: gumbo makes a great many small allocations, and the whole
// tree is dropped at once after rendering, so nothing is freed one by one.
class ParseArena {
public:
    static void *allocate(void *arena, std::size_t size)
    {
        return static_cast<ParseArena *>(arena)->take(size);
    }
    static void release(void *, void *) {}

private:
    void *take(std::size_t size)
    {
        size = (size + 7) & ~std::size_t(7);  // gumbo's structures need no more than 8
        if (size > m_left) {
            const std::size_t blockSize = std::max<std::size_t>(size, kBlockSize);
            m_blocks.emplace_back(new char[blockSize]);  // left uninitialised
            m_next = m_blocks.back().get();
            m_left = blockSize;
        }
        void *out = m_next;
        m_next += size;
        m_left -= size;
        return out;
    }

    static constexpr std::size_t kBlockSize = 1 << 20;  // bytes
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char *m_next = nullptr;
    std::size_t m_left = 0;
};

}  // namespace

QString HTMLDecodeUtf8(QByteArrayView utf8Markup)
{
    // A byte-order mark is not page text.
    if (utf8Markup.startsWith("\xEF\xBB\xBF"))
        utf8Markup = utf8Markup.sliced(3);
    ParseArena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &ParseArena::allocate;
    options.deallocator = &ParseArena::release;
    options.userdata = &arena;
    options.max_errors = 0;  // the error list costs time and memory on broken pages
    std::string limited;
    const std::string_view markup =
        limitNesting(std::string_view(utf8Markup.data(), std::size_t(utf8Markup.size())), limited);
    const GumboOutput *output = gumbo_parse_with_options(&options, markup.data(), markup.size());
    if (!output)
        return {};
    TextRenderer renderer(std::size_t(utf8Markup.size()));
    if (output->root && output->root->type == GUMBO_NODE_ELEMENT)
        renderer.render(output->root);
    // The tree lives in the arena, which goes with this scope.
    const std::string text = renderer.take();
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString HTMLDecode(const QString &markup)
{
    return HTMLDecodeUtf8(markup.toUtf8());
}

}  // namespace torvane
