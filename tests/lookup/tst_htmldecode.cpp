// HTML to text as the scrapers read it, and page bytes to text.

#include "lookup/Fetch.h"
#include "lookup/HtmlDecode.h"

#include <QtTest>

using namespace torvane;

class TestHtmlDecode : public QObject {
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("text");

        QTest::newRow("empty") << "" << "";
        QTest::newRow("spaces and source line ends collapse") << "  Hello   world\r\n  again  " << "Hello world again";
        QTest::newRow("br") << "a<br>b" << "a\r\nb";
        QTest::newRow("blanks at block edges dropped") << "<div>  a  </div>  <div> b </div>" << "a\r\nb";
        QTest::newRow("paragraphs stand apart") << "<p>a</p><p>b</p>" << "a\r\n\r\nb";
        QTest::newRow("nested blocks give one break") << "<div><div><div>a</div></div></div><div>b</div>" << "a\r\nb";
        QTest::newRow("br at block end is the block's break") << "<div>a<br></div><div>b</div>" << "a\r\nb";
        QTest::newRow("row cells on one line")
            << "<table><tr><td>Name</td><td>John</td></tr><tr><td>City</td><td>Ayr</td></tr></table>"
            << "Name\tJohn\r\nCity\tAyr";
        QTest::newRow("blank at a cell's end dropped before its tab")
            << "<table><tr><td>License Class </td><td> Extra</td></tr></table>" << "License Class\tExtra";
        QTest::newRow("empty first cell keeps its tab") << "<table><tr><td>a</td></tr><tr><td></td><td>b</td></tr></table>" << "a\r\n\tb";
        QTest::newRow("empty rows are lines of their table")
            << "<table><tr><td></td></tr><tr><td>a</td></tr><tr></tr><tr><td> </td><td></td></tr><tr><td>b</td></tr></table>"
            << "\r\na\r\n\r\n\t\r\nb";
        QTest::newRow("a table's only row, empty, is no line") << "a<table><tr><td></td></tr></table>b" << "a\r\nb";
        QTest::newRow("text before a form's end stays in the form")
            << "<form><b>Name</b> Smith</form><div><form>A <i>b</i> c</form>d</div>" << "Name Smith\r\nA b c\r\nd";
        QTest::newRow("blocks inside cells stay on the row's line")
            << "<table><tr><td><div>Name</div></td><td><p>John</p></td></tr></table>"
            << "Name\tJohn";
        QTest::newRow("no-break spaces stay, as blanks") << "a&nbsp;&nbsp;b &nbsp;c" << "a  b  c";
        QTest::newRow("head, scripts and styles skipped")
            << "<html><head><title>T</title><style>p{color:red}</style>"
               "<script>var s='<b>x</b>';</script></head><body><script>document.write('y')</script>"
               "x<noscript>no</noscript><template>t</template><style>.a{}</style></body></html>"
            << "x";
        QTest::newRow("hidden elements skipped") << "<div hidden>x</div><span style=\"color:red; DISPLAY : none\">y</span>z" << "z";
        QTest::newRow("display none only as the display property") << "<span style=\"-x-display:none\">y</span>" << "y";
        QTest::newRow("form controls skipped") << "Source <select><option>QRZ</option></select> <input value=v> go" << "Source go";
        QTest::newRow("preformatted keeps blanks and lines") << "<pre>a  b\n c</pre>d" << "a  b\r\n c\r\nd";
        // Far deeper than any real page: quick, and no text lost.
        QTest::newRow("100,000 nested blocks") << QString("<div>").repeated(100000) + "deep" << "deep";
        QTest::newRow("100,000 nested bold") << QString("<b>x").repeated(100000) << QString("x").repeated(100000);
    }

    void decode()
    {
        QFETCH(QString, markup);
        QFETCH(QString, text);
        QCOMPARE(HTMLDecode(markup), text);
    }

    // The charset label of a Content-Type header value (header) or of a page's own declaration.
    void charsetLabel_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("charset");

        QTest::newRow("header, no blank, quoted") << true << QByteArray("text/html;charset=\"ISO-8859-1\"") << QByteArray("iso-8859-1");
        QTest::newRow("header, after another parameter") << true << QByteArray("text/html; q=1; Charset = windows-1252 ") << QByteArray("windows-1252");
        QTest::newRow("header, not a parameter name") << true << QByteArray("text/html; xcharset=koi8-r") << QByteArray();
        QTest::newRow("meta charset") << false << QByteArray("<HTML><HEAD><META CHARSET=\"Windows-1252\">") << QByteArray("windows-1252");
        QTest::newRow("http-equiv")
            << false << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">") << QByteArray("iso-8859-1");
        QTest::newRow("utf-16 in ASCII bytes means utf-8") << false << QByteArray("<meta charset=utf-16>") << QByteArray("utf-8");
        QTest::newRow("past the first 4 KB") << false << QByteArray(5000, ' ') + "<meta charset=koi8-r>" << QByteArray();
        QTest::newRow("meta without charset, then one with") << false << QByteArray("<meta name=author content=x><meta charset=utf-8>") << QByteArray("utf-8");
    }

    void charsetLabel()
    {
        QFETCH(bool, header);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, charset);
        QCOMPARE(header ? contentTypeCharset(input) : declaredCharset(input), charset);
    }

    void pageBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");

        const QString eAcute = QString::fromUtf8("\u00e9");
        QTest::newRow("invalid UTF-8 falls back to Windows-1252")
            << QByteArray("caf\xE9 \x80") << QByteArray()
            << QString("caf" + eAcute + QString::fromUtf8(" \u20ac"));
        QTest::newRow("truncated UTF-8 sequence at the end") << QByteArray("ab\xC3") << QByteArray() << QString::fromUtf8("ab\u00c3");
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
        QTest::newRow("unknown label passed over") << QByteArray("\xC3\xA9") << QByteArray("text/html; charset=x-no-such-set") << eAcute;
    }

    void pageBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(decodePageBytes(bytes, contentType), text);
    }
};

QTEST_APPLESS_MAIN(TestHtmlDecode)
#include "tst_htmldecode.moc"
