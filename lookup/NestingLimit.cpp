#include "lookup/NestingLimit.h"

#include "lookup/HtmlChars.h"

#include <gumbo.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace torvane {

namespace {

// Markup nested without end (thousands of unclosed <div> or <b>) costs gumbo time in the
// square of its depth, for its tree builder searches the open elements at most tags. The
// nesting limit reads the markup with a model of that stack and hands gumbo markup in which at
// most kMaxOpenElements elements are open at once: a start tag past that depth is dropped, and
// so is its end tag, while its text stays. An element that the model closes without an end tag
// of its own (an li before the next one, a b in a closing div) gets one written where it
// closes, so that gumbo cannot keep open, or bring back, what the model closed. gumbo closes a
// p or a form of itself: an end tag for either would make an empty p, or misplace text.
// One fault of gumbo's is mended on the way: text just before a form's end tag would land after
// the form (see endTag).
constexpr std::size_t kMaxOpenElements = 200;

enum TagFlag : unsigned {
    kVoid = 1,         // no content, no end tag
    kRawText = 2,      // its content is text up to its end tag
    kSpecial = 4,      // stops the search of an ordinary element's end tag
    kScope = 8,        // end tags inside do not reach the elements outside
    kClosesP = 16,     // closes an open p first
    kFormatting = 32,  // closed by the adoption agency: the blocks inside stay open
    kForeign = 64,     // svg and MathML: their content goes to gumbo as it is
    kBreakout = 128,   // an HTML element that ends svg and MathML content
    kButton = 256,     // also bounds the scope of p
    kList = 512,       // also bounds the scope of li
    kTable = 1024,     // bounds the scope of table parts
    kTablePart = 2048,
    kHoldsRows = 4096,   // table parts that a tr may stand in
    kHoldsCells = 8192,  // and a td or th
    kHeading = 16384,
    kIntegration = 32768,  // svg or MathML that holds HTML
};

unsigned tagFlags(GumboTag tag)
{
    static const std::vector<unsigned> flags = [] {
        const std::pair<unsigned, std::string_view> groups[] = {
            {kVoid, "area base basefont bgsound br col embed frame image img input isindex keygen "
                    "link meta param source track wbr"},
            {kVoid | kClosesP, "hr"},
            {kRawText, "iframe noembed noframes script style textarea title"},
            {kRawText | kClosesP, "plaintext xmp"},
            {kFormatting, "a b big code em font i nobr s small strike strong tt u"},
            {kSpecial | kClosesP,
             "address article aside blockquote center dd details dir div dl dt fieldset "
             "figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup li listing main menu "
             "nav ol p pre section summary ul"},
            {kSpecial | kScope, "applet caption html marquee object table td th template"},
            {kSpecial, "button colgroup noscript select tbody tfoot thead tr"},
            {kForeign, "math svg"},
            {kBreakout, "b big blockquote body br center code dd div dl dt em embed font h1 h2 h3 "
                        "h4 h5 h6 head hr i img li listing menu meta nobr ol p pre ruby s small "
                        "span strike strong sub sup table tt u ul var"},
            {kButton, "button"},
            {kList, "ol ul"},
            {kTable, "html table template"},
            {kTablePart, "caption table tbody td tfoot th thead tr"},
            {kHoldsRows | kHoldsCells, "table tbody tfoot thead"},
            {kHoldsCells, "tr"},
            {kHeading, "h1 h2 h3 h4 h5 h6"},
            {kIntegration, "desc foreignobject mi mn mo ms mtext title"},
        };
        std::vector<unsigned> out(GUMBO_TAG_LAST + 1, 0);
        for (const auto &[flag, names] : groups) {
            for (std::size_t at = 0; at < names.size();) {
                const std::size_t end = std::min(names.find(' ', at), names.size());
                out[gumbo_tagn_enum(names.data() + at, unsigned(end - at))] |= flag;
                at = end + 1;
            }
        }
        return out;
    }();
    return flags[tag];
}

bool endsTagName(char c)
{
    return isHtmlSpace(static_cast<unsigned char>(c)) || c == '/' || c == '>';
}

class NestingLimiter {
public:
    explicit NestingLimiter(std::string_view markup) : m_in(markup) {}

    /// The markup with its changes: after run(), when it returned other than the input.
    std::string takeOutput() { return std::move(m_out); }

    /// The markup to parse: the input itself when nothing had to change.
    std::string_view run()
    {
        const std::size_t n = m_in.size();
        for (std::size_t at = 0; (at = m_in.find('<', at)) < n;)
            at = markupAt(at);
        if (!m_changed)
            return m_in;
        flushTo(n);
        return m_out;
    }

private:
    struct Tag {
        std::size_t from = 0, to = 0;  // its bytes, "<" to ">"
        std::string_view name;
        GumboTag tag = GUMBO_TAG_UNKNOWN;  // gumbo takes all tags it does not know for one
        unsigned flags = 0;
        bool selfClosing = false;
        int foreign = 0;  // of an svg or MathML element that holds HTML: the svg depth around it
    };

    std::size_t markupAt(std::size_t at);
    bool readTag(std::size_t at, bool end, Tag *tag) const;
    std::size_t rawTextEnd(const Tag &tag) const;
    void startTag(const Tag &tag);
    bool closeImplied(const Tag &tag);
    void endTag(const Tag &tag);
    int endTarget(const Tag &tag) const;
    void closeFrom(std::size_t index, std::size_t at);

    template <typename Match, typename Stop>
    int findOpen(Match match, Stop stop) const
    {
        for (std::size_t i = m_open.size(); i-- > 0;) {
            if (match(m_open[i]))
                return int(i);
            if (stop(m_open[i]))
                break;
        }
        return -1;
    }
    int findTag(GumboTag tag, unsigned stopFlags) const
    {
        return findOpen([tag](const Tag &open) { return open.tag == tag; },
                        [stopFlags](const Tag &open) { return (open.flags & stopFlags) != 0; });
    }
    bool specialAbove(int index) const
    {
        return std::any_of(m_open.begin() + index + 1, m_open.end(),
                           [](const Tag &open) { return (open.flags & kSpecial) != 0; });
    }
    // The open select with only its options above it, -1 for none: gumbo is then in a select.
    int openSelect() const
    {
        std::size_t i = m_open.size();
        while (i > 0 && (m_open[i - 1].tag == GUMBO_TAG_OPTION
                         || m_open[i - 1].tag == GUMBO_TAG_OPTGROUP))
            --i;
        return i > 0 && m_open[i - 1].tag == GUMBO_TAG_SELECT ? int(i) - 1 : -1;
    }
    // Dropped elements are inside every kept one: closing one of those closes them all.
    void pop()
    {
        if (m_open.back().foreign > 0)
            m_foreign = m_open.back().foreign;  // back in the svg
        m_open.pop_back();
        if (m_droppedOpen > 0)
            std::fill(m_dropped.begin(), m_dropped.end(), 0);
        m_droppedOpen = 0;
    }
    void flushTo(std::size_t at)
    {
        m_changed = true;
        m_out.append(m_in.data() + m_copied, at - m_copied);
        m_copied = at;
    }
    void drop(std::size_t from, std::size_t to)
    {
        flushTo(from);
        m_copied = to;
    }

    std::string_view m_in;
    std::string m_out;
    std::size_t m_copied = 0;  // the input before this is in m_out, or dropped
    bool m_changed = false;
    std::vector<Tag> m_open;
    std::vector<int> m_dropped = std::vector<int>(GUMBO_TAG_LAST + 1);  // open dropped, by tag
    int m_droppedOpen = 0;
    int m_foreign = 0;  // svg and math elements open, from the last one in HTML
};

// Reads the markup at a "<" as gumbo's tokenizer does; returns where the text after it starts.
std::size_t NestingLimiter::markupAt(std::size_t at)
{
    const std::size_t n = m_in.size();
    const bool end = m_in.compare(at, 2, "</") == 0;
    const std::size_t nameAt = at + (end ? 2 : 1);
    if (nameAt >= n || asciiLower(m_in[nameAt]) < 'a' || asciiLower(m_in[nameAt]) > 'z') {
        if (m_foreign > 0 && m_in.compare(at, 9, "<![CDATA[") == 0)
            return std::min(m_in.find("]]>", at), n - 3) + 3;
        if (m_in.compare(at, 4, "<!--") == 0) {
            // "<!-->" and "<!--->" are whole comments; others end at "-->" or "--!>".
            for (std::size_t i = at + 2; (i = m_in.find("--", i)) < n; ++i) {
                if (m_in.compare(i + 2, 1, ">") == 0 || m_in.compare(i + 2, 2, "!>") == 0)
                    return m_in.find('>', i) + 1;
            }
            return n;
        }
        if (!end && m_in.compare(at, 2, "<!") != 0 && m_in.compare(at, 2, "<?") != 0)
            return at + 1;  // a "<" of the text
        return std::min(m_in.find('>', at), n - 1) + 1;  // doctype or bogus comment
    }
    Tag tag;
    if (!readTag(at, end, &tag))
        return n;  // a tag cut off by the end is dropped by the tokenizer
    // svg and MathML content goes to gumbo as it is, up to its end tag or an HTML tag that ends
    // it ("</p>" and "</br>" too).
    if (m_foreign > 0 || ((tag.flags & kForeign) && !end)) {
        if (m_foreign > 0 && !end && (tag.flags & kIntegration) && !tag.selfClosing
            && m_open.size() < kMaxOpenElements) {
            // Its content is HTML, up to its end.
            tag.flags = kSpecial | kScope;
            tag.foreign = std::exchange(m_foreign, 0);
            m_open.push_back(tag);
            return tag.to;
        }
        if (m_foreign == 0 || (end ? tag.tag != GUMBO_TAG_P && tag.tag != GUMBO_TAG_BR
                                   : !(tag.flags & kBreakout))) {
            if ((tag.flags & kForeign) && !tag.selfClosing)
                m_foreign += end ? -1 : 1;
            return tag.to;
        }
        m_foreign = 0;
    }
    if (end) {
        endTag(tag);
        return tag.to;
    }
    startTag(tag);
    if (!(tag.flags & kRawText))
        return tag.to;
    const std::size_t close = tag.tag == GUMBO_TAG_PLAINTEXT ? n : rawTextEnd(tag);
    Tag closing;
    return close < n && readTag(close, true, &closing) ? closing.to : n;
}

// Reads the name and skips the attributes (a quoted value may hold ">"); false when the markup
// ends inside the tag.
bool NestingLimiter::readTag(std::size_t at, bool end, Tag *tag) const
{
    const std::size_t n = m_in.size();
    const std::size_t nameAt = at + (end ? 2 : 1);
    std::size_t i = nameAt;
    while (i < n && !endsTagName(m_in[i]))
        ++i;
    tag->from = at;
    tag->name = m_in.substr(nameAt, i - nameAt);
    tag->tag = gumbo_tagn_enum(tag->name.data(), unsigned(tag->name.size()));
    tag->flags = tagFlags(tag->tag);
    enum { Between, Name, AfterName, BeforeValue, Unquoted } state = Between;
    for (; i < n; ++i) {
        const char c = m_in[i];
        const bool blank = isHtmlSpace(static_cast<unsigned char>(c));
        if (c == '>') {
            tag->to = i + 1;
            tag->selfClosing = state == Between && m_in[i - 1] == '/';
            return true;
        }
        if (state == Between) {
            state = blank || c == '/' ? Between : Name;  // a first "=" is part of the name
        } else if (state == Name || state == AfterName) {
            state = c == '=' ? BeforeValue : c == '/' ? Between : blank ? AfterName : Name;
        } else if (state == BeforeValue && (c == '"' || c == '\'')) {
            if ((i = m_in.find(c, i + 1)) == std::string_view::npos)
                return false;
            state = Between;
        } else if (state == Unquoted || !blank) {
            state = blank ? Between : Unquoted;
        }
    }
    return false;
}

// Where the end tag of a raw-text element starts: its name after "</", followed by a blank,
// "/" or ">"; the end of the markup when there is none.
std::size_t NestingLimiter::rawTextEnd(const Tag &tag) const
{
    const std::size_t length = tag.name.size();
    const std::size_t n = m_in.size();
    for (std::size_t i = tag.to; (i = m_in.find("</", i)) < n; i += 2) {
        if (i + 2 + length < n && endsTagName(m_in[i + 2 + length])
            && std::equal(tag.name.begin(), tag.name.end(), m_in.begin() + std::ptrdiff_t(i) + 2,
                          [](char a, char b) { return asciiLower(a) == asciiLower(b); }))
            return i;
    }
    return n;
}

void NestingLimiter::startTag(const Tag &tag)
{
    switch (tag.tag) {
    case GUMBO_TAG_HTML: case GUMBO_TAG_HEAD: case GUMBO_TAG_BODY: case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_FRAME:
        return;  // merged into the document's own, or ignored
    case GUMBO_TAG_OPTION: case GUMBO_TAG_OPTGROUP:
        break;
    default:
        if (const int select = openSelect(); select >= 0) {
            if (tag.tag != GUMBO_TAG_SELECT && tag.tag != GUMBO_TAG_INPUT
                && tag.tag != GUMBO_TAG_KEYGEN && tag.tag != GUMBO_TAG_TEXTAREA)
                return;  // gumbo ignores it
            while (m_open.size() > std::size_t(select))
                pop();  // it closes the select, as gumbo does of itself
            if (tag.tag == GUMBO_TAG_SELECT)
                return;
        }
    }
    // Inside dropped elements a tag closes none of those that gumbo sees.
    const bool inDropped = m_open.size() >= kMaxOpenElements && m_droppedOpen > 0;
    if ((!inDropped && !closeImplied(tag)) || (tag.flags & (kVoid | kRawText)))
        return;
    if (m_open.size() < kMaxOpenElements) {
        m_open.push_back(tag);
        return;
    }
    ++m_dropped[tag.tag];
    ++m_droppedOpen;
    drop(tag.from, tag.to);
}

// Closes the elements that a start tag closes before it opens; false when gumbo ignores the
// tag (a table part outside a table).
bool NestingLimiter::closeImplied(const Tag &tag)
{
    const GumboTag t = tag.tag;
    int index = -1;
    switch (t) {
    case GUMBO_TAG_LI: case GUMBO_TAG_DD: case GUMBO_TAG_DT:
        // The open item of the same list, unless a block other than div, address or p is
        // between.
        index = findOpen(
            [t](const Tag &open) {
                return t == GUMBO_TAG_LI ? open.tag == t
                                         : open.tag == GUMBO_TAG_DD || open.tag == GUMBO_TAG_DT;
            },
            [](const Tag &open) {
                return (open.flags & kSpecial) && open.tag != GUMBO_TAG_ADDRESS
                       && open.tag != GUMBO_TAG_DIV && open.tag != GUMBO_TAG_P;
            });
        break;
    case GUMBO_TAG_BUTTON:
        index = findTag(t, kScope);
        break;
    case GUMBO_TAG_A: case GUMBO_TAG_NOBR:
        index = findTag(t, kScope);
        if (index >= 0 && specialAbove(index)) {
            m_open.erase(m_open.begin() + index);  // gumbo's adoption agency takes it out
            index = -1;
        }
        break;
    case GUMBO_TAG_OPTION: case GUMBO_TAG_OPTGROUP:
        if (!m_open.empty() && m_open.back().tag == GUMBO_TAG_OPTION)
            closeFrom(m_open.size() - 1, tag.from);
        if (t == GUMBO_TAG_OPTGROUP && !m_open.empty() && m_open.back().tag == t)
            closeFrom(m_open.size() - 1, tag.from);
        break;
    case GUMBO_TAG_TABLE:  // one directly in a table closes it
        index = findTag(t, kScope);
        break;
    case GUMBO_TAG_TD: case GUMBO_TAG_TH: case GUMBO_TAG_TR: case GUMBO_TAG_TBODY:
    case GUMBO_TAG_THEAD: case GUMBO_TAG_TFOOT: case GUMBO_TAG_CAPTION: case GUMBO_TAG_COLGROUP: {
        // A table part closes the parts it cannot stand in, up to its table.
        const unsigned holds = t == GUMBO_TAG_TD || t == GUMBO_TAG_TH ? kHoldsCells
                               : t == GUMBO_TAG_TR                    ? kHoldsRows
                                                                      : kTable;
        index = findOpen([holds](const Tag &open) { return (open.flags & holds) != 0; },
                         [](const Tag &open) { return (open.flags & kTable) != 0; });
        if (index >= 0)
            closeFrom(std::size_t(index) + 1, tag.from);
        return index >= 0;
    }
    default:
        break;
    }
    if (index >= 0)
        closeFrom(std::size_t(index), tag.from);
    if ((tag.flags & kClosesP) && (index = findTag(GUMBO_TAG_P, kScope | kButton)) >= 0)
        closeFrom(std::size_t(index), tag.from);
    if ((tag.flags & kHeading) && !m_open.empty() && (m_open.back().flags & kHeading))
        closeFrom(m_open.size() - 1, tag.from);
    return true;
}

void NestingLimiter::endTag(const Tag &tag)
{
    if (m_dropped[tag.tag] > 0) {
        --m_dropped[tag.tag];
        --m_droppedOpen;
        drop(tag.from, tag.to);
        return;
    }
    if (openSelect() >= 0 && tag.tag != GUMBO_TAG_SELECT && tag.tag != GUMBO_TAG_OPTION
        && tag.tag != GUMBO_TAG_OPTGROUP)
        return;  // in a select gumbo ignores other end tags
    const int index = endTarget(tag);
    if (index < 0)
        return;  // gumbo passes over it too
    if (tag.tag == GUMBO_TAG_FORM) {
        // gumbo takes the form out before it places the text just in front of its end tag,
        // which then lands after the form: a comment there places the text first.
        flushTo(tag.from);
        m_out.append("<!---->");
    }
    if (tag.tag == GUMBO_TAG_FORM || ((tag.flags & kFormatting) && specialAbove(index))) {
        m_open.erase(m_open.begin() + index);  // out of the stack; what it holds stays open
        return;
    }
    closeFrom(std::size_t(index) + 1, tag.from);
    pop();
}

// The open element that an end tag closes, -1 for none.
int NestingLimiter::endTarget(const Tag &tag) const
{
    if (tag.flags & kHeading)  // closes whichever heading is open
        return findOpen([](const Tag &open) { return (open.flags & kHeading) != 0; },
                        [](const Tag &open) { return (open.flags & kScope) != 0; });
    unsigned stop = kSpecial;
    if (tag.tag == GUMBO_TAG_P)
        stop = kScope | kButton;
    else if (tag.tag == GUMBO_TAG_LI)
        stop = kScope | kList;
    else if (tag.flags & kTablePart)
        stop = kTable;
    else if (tag.flags & (kClosesP | kScope | kFormatting | kButton))
        stop = kScope;
    return findTag(tag.tag, stop);
}

// Closes the open elements from index up, with their end tags written before at.
void NestingLimiter::closeFrom(std::size_t index, std::size_t at)
{
    while (m_open.size() > index) {
        const Tag &open = m_open.back();
        if (open.tag != GUMBO_TAG_P && open.tag != GUMBO_TAG_FORM) {
            flushTo(at);
            m_out.append("</").append(open.name).append(">");
        }
        pop();
    }
}

}  // namespace

std::string_view limitNesting(std::string_view markup, std::string &storage)
{
    NestingLimiter limiter(markup);
    const std::string_view out = limiter.run();
    if (out.data() == markup.data())
        return markup;
    storage = limiter.takeOutput();
    return storage;
}

}  // namespace torvane
