// HTML to text as the scrapers read it, and page bytes to text.

#include "lookup/HtmlDecode.h"

#include <QtTest>

using namespace torvane;

class TestHtmlDecode : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void callBookLayout();
    void deepNestingDoesNotOverflow();
    void utf8Entry();
    void contentTypeCharset_data();
    void contentTypeCharset();
    void declaredCharset_data();
    void declaredCharset();
    void pageBytes_data();
    void pageBytes();
};

void TestHtmlDecode::decode_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("only white space") << "  \r\n\t " << "";
    QTest::newRow("spaces and source line ends collapse")
        << "  Hello   world\r\n  again  " << "Hello world again";
    QTest::newRow("br") << "a<br>b" << "a\r\nb";
    QTest::newRow("two br make an empty line") << "a<br><br>b" << "a\r\n\r\nb";
    QTest::newRow("blanks around br dropped") << "a  <br>  b" << "a\r\nb";
    QTest::newRow("divs") << "<div>a</div><div>b</div>" << "a\r\nb";
    QTest::newRow("blanks at block edges dropped")
        << "<div>  a  </div>  <div> b </div>" << "a\r\nb";
    QTest::newRow("inline then block") << "x <div>y</div> z" << "x\r\ny\r\nz";
    QTest::newRow("paragraphs stand apart") << "<p>a</p><p>b</p>" << "a\r\n\r\nb";
    QTest::newRow("unclosed paragraphs") << "<p>one<p>two" << "one\r\n\r\ntwo";
    QTest::newRow("nested blocks give one break")
        << "<div><div><div>a</div></div></div><div>b</div>" << "a\r\nb";
    QTest::newRow("br at block end is the block's break")
        << "<div>a<br></div><div>b</div>" << "a\r\nb";
    QTest::newRow("br between blocks is an empty line")
        << "<div>a</div><br><div>b</div>" << "a\r\n\r\nb";
    QTest::newRow("br after an image starts a line") << "<img src=a.gif><br>x" << "\r\nx";
    QTest::newRow("heading") << "<h1>Title</h1>text" << "Title\r\ntext";
    QTest::newRow("list") << "<ul><li>one</li><li>two</li></ul>after" << "one\r\ntwo\r\nafter";
    QTest::newRow("row cells on one line")
        << "<table><tr><td>Name</td><td>John</td></tr><tr><td>City</td><td>Ayr</td></tr></table>"
        << "Name\tJohn\r\nCity\tAyr";
    QTest::newRow("th cells") << "<table><tr><th>A</th><th>B</th></tr></table>" << "A\tB";
    QTest::newRow("unclosed cells and rows")
        << "<table><tr><td>a<td>b<tr><td>c</table>" << "a\tb\r\nc";
    QTest::newRow("empty first cell keeps its tab")
        << "<table><tr><td>a</td></tr><tr><td></td><td>b</td></tr></table>" << "a\r\n\tb";
    QTest::newRow("blocks inside cells stay on the row's line")
        << "<table><tr><td><div>Name</div></td><td><p>John</p></td></tr></table>"
        << "Name\tJohn";
    QTest::newRow("two blocks in one cell")
        << "<table><tr><td><div>a</div><div>b</div></td><td>c</td></tr></table>"
        << "a\r\nb\tc";
    QTest::newRow("table after text") << "x<table><tr><td>a</td></tr></table>y" << "x\r\na\r\ny";
    QTest::newRow("inline markup inside a cell")
        << "<table><tr><td><b>Name:</b> <font color=red><i>John</i> &amp; Jane</font></td></tr>"
           "</table>"
        << "Name: John & Jane";
    QTest::newRow("no blank between adjacent inline elements") << "<b>ab</b><i>cd</i>" << "abcd";
    QTest::newRow("entities")
        << "&lt;a&gt; &quot;q&quot; &#65;&#x42; &eacute; &copy; &amp;amp;"
        << QString::fromUtf8("<a> \"q\" AB \u00e9 \u00a9 &amp;");
    QTest::newRow("entity without semicolon") << "AT&T &amp Co" << "AT&T & Co";
    QTest::newRow("no-break spaces stay, as blanks")
        << "a&nbsp;&nbsp;b &nbsp;c" << "a  b  c";
    QTest::newRow("no-break space as a cell")
        << "<table><tr><td>&nbsp;</td><td>x</td></tr></table>" << " \tx";
    QTest::newRow("literal no-break space") << QString::fromUtf8("a\u00a0b") << "a b";
    QTest::newRow("comments") << "a<!-- hidden <b>x</b> -->b<!---->c" << "abc";
    QTest::newRow("head, scripts and styles skipped")
        << "<html><head><title>T</title><style>p{color:red}</style>"
           "<script>var s='<b>x</b>';</script></head><body><script>document.write('y')</script>"
           "x<noscript>no</noscript><template>t</template><style>.a{}</style></body></html>"
        << "x";
    QTest::newRow("hidden elements skipped")
        << "<div hidden>x</div><span style=\"color:red; DISPLAY : none\">y</span>z"
        << "z";
    QTest::newRow("display none only as the display property")
        << "<span style=\"-x-display:none\">y</span>" << "y";
    QTest::newRow("form controls skipped")
        << "Source <select><option>QRZ</option></select> <input value=v> go"
        << "Source go";
    QTest::newRow("preformatted keeps blanks and lines")
        << "<pre>a  b\n c</pre>d" << "a  b\r\n c\r\nd";
    QTest::newRow("byte-order mark") << QString::fromUtf8("\ufeff<p>x</p>") << "x";
    QTest::newRow("text after the body") << "<body>a</body>b" << "ab";
    QTest::newRow("stray end tags") << "a</div></td></span>b" << "ab";
    QTest::newRow("unclosed inline markup") << "<b>a<i>b<div>c</div>d" << "ab\r\nc\r\nd";
    QTest::newRow("non-ASCII text")
        << QString::fromUtf8("<td>J\u00f6rg \u041f\u0451\u0442\u0440</td>")
        << QString::fromUtf8("J\u00f6rg \u041f\u0451\u0442\u0440");
}

void TestHtmlDecode::decode()
{
    QFETCH(QString, markup);
    QFETCH(QString, text);
    QCOMPARE(HTMLDecode(markup), text);
}

// A page laid out as the call books lay theirs out: a layout table around a data table,
// labels and values in neighbouring cells, spacer rows and images.
void TestHtmlDecode::callBookLayout()
{
    const QString page = QStringLiteral(R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>W1AW - Callbook</title>
<script>var x = "<tr><td>bogus</td></tr>";</script></head>
<body>
<table width="100%" border=0><tr>
  <td valign=top><img src="logo.gif"> <a href="/">Home</a> | <a href="/db">Search</a></td>
  <td>
    <table class="data">
      <tr><td colspan=2><h2>W1AW</h2></td></tr>
      <tr><td><b>Name</b></td><td>HIRAM PERCY&nbsp;MAXIM</td></tr>
      <tr><td><b>Address</b></td><td>225 Main St<br>Newington, CT 06111</td></tr>
      <tr><td height=4></td></tr>
      <tr><td>Latitude</td><td> 41.714775 </td></tr>
      <tr>
        <td>Class</td>
        <td><font size=2>Club</font> <!-- since 1914 --></td>
      </tr>
    </table>
  </td>
</tr></table>
<p>Copyright &copy; 2015 &amp; later</p>
</body></html>)");
    const QString expected = QString::fromUtf8(
        "Home | Search\tW1AW\r\n"
        "Name\tHIRAM PERCY MAXIM\r\n"
        "Address\t225 Main St\r\nNewington, CT 06111\r\n"
        "Latitude\t41.714775\r\n"
        "Class\tClub\r\n"
        "\r\n"
        "Copyright \u00a9 2015 & later");
    QCOMPARE(HTMLDecode(page), expected);
}

// Pages nested far deeper than any real one must neither overflow the stack nor lose text.
void TestHtmlDecode::deepNestingDoesNotOverflow()
{
    QString markup;
    for (int i = 0; i < 3000; ++i)
        markup += QStringLiteral("<span>");
    markup += QStringLiteral("deep");
    QCOMPARE(HTMLDecode(markup), QStringLiteral("deep"));
}

void TestHtmlDecode::utf8Entry()
{
    QCOMPARE(HTMLDecodeUtf8("\xEF\xBB\xBF<b>J\xC3\xB6rg</b>&nbsp;x"),
             QString::fromUtf8("J\u00f6rg x"));
}

void TestHtmlDecode::contentTypeCharset_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("none") << QByteArray("text/html") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("plain") << QByteArray("text/html; charset=UTF-8") << QByteArray("utf-8");
    QTest::newRow("no blank, quoted")
        << QByteArray("text/html;charset=\"ISO-8859-1\"") << QByteArray("iso-8859-1");
    QTest::newRow("after another parameter")
        << QByteArray("text/html; q=1; Charset = windows-1252 ") << QByteArray("windows-1252");
    QTest::newRow("not a parameter name")
        << QByteArray("text/html; xcharset=koi8-r") << QByteArray();
}

void TestHtmlDecode::contentTypeCharset()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, charset);
    QCOMPARE(torvane::contentTypeCharset(header), charset);
}

void TestHtmlDecode::declaredCharset_data()
{
    QTest::addColumn<QByteArray>("markup");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("none") << QByteArray("<html><head><title>x</title>") << QByteArray();
    QTest::newRow("meta charset")
        << QByteArray("<HTML><HEAD><META CHARSET=\"Windows-1252\">") << QByteArray("windows-1252");
    QTest::newRow("http-equiv")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">")
        << QByteArray("iso-8859-1");
    QTest::newRow("single quotes, blanks")
        << QByteArray("<meta charset = 'utf-8' >") << QByteArray("utf-8");
    QTest::newRow("utf-16 in ASCII bytes means utf-8")
        << QByteArray("<meta charset=utf-16>") << QByteArray("utf-8");
    QTest::newRow("past the first 4 KB")
        << QByteArray(5000, ' ') + "<meta charset=koi8-r>" << QByteArray();
    QTest::newRow("meta without charset, then one with")
        << QByteArray("<meta name=author content=x><meta charset=utf-8>") << QByteArray("utf-8");
}

void TestHtmlDecode::declaredCharset()
{
    QFETCH(QByteArray, markup);
    QFETCH(QByteArray, charset);
    QCOMPARE(torvane::declaredCharset(markup), charset);
}

void TestHtmlDecode::pageBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("text");

    const QString eAcute = QString::fromUtf8("\u00e9");
    QTest::newRow("valid UTF-8, nothing declared")
        << QByteArray("caf\xC3\xA9") << QByteArray() << QString("caf" + eAcute);
    QTest::newRow("invalid UTF-8 falls back to Windows-1252")
        << QByteArray("caf\xE9 \x80") << QByteArray()
        << QString("caf" + eAcute + QString::fromUtf8(" \u20ac"));
    QTest::newRow("truncated UTF-8 sequence at the end")
        << QByteArray("ab\xC3") << QByteArray() << QString::fromUtf8("ab\u00c3");
    QTest::newRow("header Latin-1 read as Windows-1252")
        << QByteArray("\x80\xE9") << QByteArray("text/html; charset=ISO-8859-1")
        << QString::fromUtf8("\u20ac\u00e9");
    QTest::newRow("header wins over meta")
        << QByteArray("<meta charset=windows-1252>\xC3\xA9")
        << QByteArray("text/html; charset=utf-8")
        << QString("<meta charset=windows-1252>" + eAcute);
    QTest::newRow("meta wins over UTF-8 detection")
        << QByteArray("<meta charset=windows-1252>\xC3\xA9") << QByteArray("text/html")
        << QString::fromUtf8("<meta charset=windows-1252>\u00c3\u00a9");
    QTest::newRow("UTF-8 byte-order mark wins and is dropped")
        << QByteArray("\xEF\xBB\xBF\xC3\xA9") << QByteArray("text/html; charset=windows-1252")
        << eAcute;
    QTest::newRow("UTF-16LE byte-order mark")
        << QByteArray("\xFF\xFE" "a\0\xE9\0", 6) << QByteArray() << QString("a" + eAcute);
    QTest::newRow("UTF-16BE byte-order mark")
        << QByteArray("\xFE\xFF\0a\0\xE9", 6) << QByteArray() << QString("a" + eAcute);
    QTest::newRow("other code page by its label")
        << QByteArray("\xC0\xC1") << QByteArray("text/html; charset=windows-1251")
        << QString::fromUtf8("\u0410\u0411");
    QTest::newRow("unknown label passed over")
        << QByteArray("\xC3\xA9") << QByteArray("text/html; charset=x-no-such-set") << eAcute;
    QTest::newRow("empty") << QByteArray() << QByteArray() << QString();
}

void TestHtmlDecode::pageBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, text);
    QCOMPARE(decodePageBytes(bytes, contentType), text);
}

QTEST_APPLESS_MAIN(TestHtmlDecode)
#include "tst_htmldecode.moc"
