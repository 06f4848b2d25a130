// Measured readings: the reader's accepted and refused forms.
#include "lab/readings.h"

#include <QTest>

using namespace lab;

class TestLab : public QObject
{
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
};

void TestLab::reader_data()
{
    // Accepted: the readings as "volume:pH" after sorting. Refused: the reason.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("outcome");
    const auto row = [](const char* name, const QByteArray& text, const char* outcome) {
        QTest::newRow(name) << text << QString::fromUtf8(outcome);
    };
    row("the program's own CSV",
        "Volume (mL),pH\r\n0,2.875\r\n5,4.141\r\n12.5,4.745\r\n20,5.347\r\n"
        "25,8.725\r\n",
        "0:2.875 5:4.141 12.5:4.745 20:5.347 25:8.725");
    row("semicolons, decimal commas, BOM, comments, blank lines",
        "\xEF\xBB\xBF# run 2\n\nV;pH\n0;2,5\n1,5 ; 3\n\n2;3,5 # drop\n3;4\n4;5\n",
        "0:2.5 1.5:3 2:3.5 3:4 4:5");
    row("blanks and tabs with decimal commas", "0 2,5\n1\t3\n2  \t 3,5\n3 4\n4 5",
        "0:2.5 1:3 2:3.5 3:4 4:5");
    row("comma and blanks, signs and exponents", "0, +2.5\n1e0 ,3\n2,3.5\n3,-1.5\n4,16\n",
        "0:2.5 1:3 2:3.5 3:-1.5 4:16");
    row("unsorted, duplicates kept in order", "2,4\n1,3\n2,5\n0,2\n3,6\n2,4.5\n",
        "0:2 1:3 2:4 2:5 2:4.5 3:6");
    row("not a number", "0,2\n1,x7\n2,3\n3,4\n4,5\n", "line 2: the pH \"x7\" is not a number");
    row("nan is not a number", "0,2\n1,3\n2,nan\n3,4\n4,5\n",
        "line 3: the pH \"nan\" is not a number");
    row("a second header", "V,pH\nmL,-\n0,2\n1,3\n2,4\n3,5\n",
        "line 2: the volume \"mL\" is not a number");
    row("pH above 16", "0,2\n1,3\n2,16.5\n3,4\n4,5\n", "line 3: the pH 16.5 is outside -2 to 16");
    row("pH below -2", "0,-2.1\n1,3\n2,4\n3,4\n4,5\n", "line 1: the pH -2.1 is outside -2 to 16");
    row("negative volume", "# v,pH\n-1,2\n1,3\n2,4\n3,4\n4,5\n",
        "line 2: the volume -1 mL is negative");
    row("three columns", "0;2\n1;3;4\n2;4\n3;4\n4;5\n",
        "line 2: 3 columns where a volume and a pH");
    row("one column", "0 2\n1\n2 4\n3 4\n4 5\n", "line 2: 1 column where a volume and a pH");
    row("decimal comma where the comma separates", "0,2.5\n1,3,5\n", "line 2: 3 columns");
    row("fewer than 5 readings", "V,pH\n0,2\n1,3\n2,4\n3,5\n", "4 readings; at least 5 are needed");
    row("a NUL byte", QByteArray("0,2\n1,\0003\n", 9), "line 2: not text");
    row("not UTF-8", "0,2\n# caf\xC3\n1,3\n", "line 2: not text");
    row("overlong UTF-8", "0,2 # \xC0\xAF\n", "line 1: not text");
    row("over 10 MB", QByteArray(10 * 1024 * 1024 + 1, '1'), "the file is over 10 MB");
}

void TestLab::reader()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, outcome);
    const chem::Result<Readings> r = readReadings(std::string_view(text.constData(), text.size()));
    QString read;
    if (r) {
        for (std::size_t i = 0; i < r.value->size(); ++i)
            read += QStringLiteral("%1%2:%3")
                        .arg(i ? " " : "")
                        .arg(r.value->volume[i])
                        .arg(r.value->pH[i]);
    } else {
        read = QString::fromStdString(r.failure).left(outcome.size());
    }
    QCOMPARE(read, outcome);
}

QTEST_APPLESS_MAIN(TestLab)
#include "tst_lab.moc"
