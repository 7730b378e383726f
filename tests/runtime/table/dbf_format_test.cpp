// Tables this engine writes: the bytes on disk, round trips of every field
// type, and an independent reader's view of them.
#include <cmath>
#include <cstring>

#include "table_test_util.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

using namespace qv::rt::literals;
using DbfWrite = WorkspaceTest;

Structure all_types() {
    return {{"NOME", 'C', 20, 0}, {"VALOR", 'N', 12, 2}, {"QTD", 'N', 4, 0}, {"NASC", 'D', 8, 0},
            {"ATIVO", 'L', 1, 0}, {"TEXTO", 'M', 10, 0}, {"LONGO", 'C', 300, 0}};
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

TEST(NumberField, FormatsRightAlignedRoundingHalfAwayAndOverflowsToAsterisks) {
    EXPECT_EQ(format_number(-10.5, 12, 2), "      -10.50");
    EXPECT_EQ(format_number(1.005, 6, 2), "  1.01");
    EXPECT_EQ(format_number(-1.005, 6, 2), " -1.01");
    EXPECT_EQ(format_number(2.5, 3, 0), "  3");
    EXPECT_EQ(format_number(999999999.99, 12, 2), "999999999.99");
    EXPECT_EQ(format_number(1000000000.0, 12, 2), "************");
    EXPECT_EQ(format_number(-0.001, 6, 2), "  0.00");
    EXPECT_EQ(format_number(0.5, 4, 2), "0.50");
    EXPECT_EQ(format_number(12345, 4, 0), "****");
    EXPECT_EQ(format_number(0.1 + 0.2, 6, 2), "  0.30");
    EXPECT_EQ(format_number(2.675, 6, 2), "  2.68");
    EXPECT_EQ(format_number(1234.56, 12, 2), "     1234.56");
    EXPECT_EQ(format_number(-0.0, 6, 2), "  0.00");
    EXPECT_EQ(format_number(0.0, 4, 0), "   0");
    EXPECT_EQ(format_number(99999.995, 9, 2), "100000.00");
    EXPECT_EQ(format_number(123456789012.34, 15, 2), "123456789012.34");
    EXPECT_EQ(format_number(0.045, 5, 2), " 0.05");
    EXPECT_DOUBLE_EQ(parse_number("      -10.50"), -10.5);
    EXPECT_DOUBLE_EQ(parse_number("          "), 0.0);
    EXPECT_DOUBLE_EQ(parse_number("****"), 0.0);
    EXPECT_DOUBLE_EQ(parse_number("   1234.56"), 1234.56);
    EXPECT_DOUBLE_EQ(parse_number("  .5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_number("    12,25"), 12.25);
    EXPECT_DOUBLE_EQ(parse_number("  12.5.3"), 12.5);
    EXPECT_DOUBLE_EQ(parse_number("  5-"), 5.0);
    EXPECT_DOUBLE_EQ(parse_number("12345678901234567"), 12345678901234567.0);
    EXPECT_TRUE(std::signbit(parse_number("  -0.00")));
}

// A number or date put into a record lies in its field as the hand-worked
// text; a number too wide for it is refused and leaves the field as it was.
TEST(NumberField, PutIntoTheRecordAsItsText) {
    struct Case {
        double value;
        int len, dec;
        const char* text;   // nullptr: does not fit
    };
    const Case cases[] = {
        {-10.5, 12, 2, "      -10.50"}, {1.005, 6, 2, "  1.01"},     {-1.005, 6, 2, " -1.01"},
        {2.5, 3, 0, "  3"},             {999999999.99, 12, 2, "999999999.99"},
        {1000000000.0, 12, 2, nullptr}, {-0.001, 6, 2, "  0.00"},    {0.5, 4, 2, "0.50"},
        {12345, 4, 0, nullptr},         {0.1 + 0.2, 6, 2, "  0.30"}, {-0.0, 6, 2, "  0.00"},
        {0.0, 4, 0, "   0"},            {0.05, 4, 2, "0.05"},        {-0.05, 5, 2, "-0.05"},
        {-0.05, 4, 2, nullptr},         {7, 1, 0, "7"},              {123456789012.34, 15, 2, "123456789012.34"},
        {3.25, 8, 3, "   3.250"},       {-4, 2, 0, "-4"}};
    for (const Case& c : cases) {
        const Field f{"VALOR", 'N', c.len, c.dec, 1};
        std::string record(1 + static_cast<std::size_t>(c.len), '#');
        if (!c.text) {
            EXPECT_THROW(encode_field(f, Value(c.value), record.data() + 1, "T"), DataWidthError) << c.value;
            EXPECT_EQ(record, std::string(record.size(), '#')) << c.value;
            continue;
        }
        encode_field(f, Value(c.value), record.data() + 1, "T");
        EXPECT_EQ(record, std::string("#") + c.text) << c.value << " in " << c.len << "." << c.dec;
    }
    const Field d{"NASC", 'D', 8, 0, 0};
    std::string date(8, '#');
    encode_field(d, Value(Date::from_ymd(1958, 3, 7)), date.data(), "T");
    EXPECT_EQ(date, "19580307");
    encode_field(d, Value(Date::from_ymd(2011, 12, 31)), date.data(), "T");
    EXPECT_EQ(date, "20111231");
    encode_field(d, Value(Date{}), date.data(), "T");
    EXPECT_EQ(date, "        ");
}

TEST_F(DbfWrite, NewTableHasTheHeaderOtherToolsExpect) {
    create_table(dir.file("T1"), all_types());
    const std::string b = read_file(dir.file("T1.dbf"));
    ASSERT_GE(b.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0xF5);   // with FPT memo
    EXPECT_EQ(le32(b, 4), 0u);
    const int header_len = static_cast<unsigned char>(b[8]) | static_cast<unsigned char>(b[9]) << 8;
    const int record_len = static_cast<unsigned char>(b[10]) | static_cast<unsigned char>(b[11]) << 8;
    EXPECT_EQ(header_len, 32 + 32 * 7 + 2);
    EXPECT_EQ(record_len, 1 + 20 + 12 + 4 + 8 + 1 + 10 + 300);
    EXPECT_EQ(b[28], 0);
    EXPECT_EQ(b[29], 0);
    EXPECT_EQ(b[header_len - 2], '\x0D');
    EXPECT_EQ(b[header_len - 1], '\0');
    EXPECT_EQ(b.size(), static_cast<std::size_t>(header_len + 1));
    EXPECT_EQ(b.back(), '\x1A');
    // C over 255: low byte in the length, high byte in the decimals
    const std::size_t longo = 32 + 32 * 6;
    EXPECT_EQ(std::string(b.data() + longo, 5), "LONGO");
    EXPECT_EQ(static_cast<unsigned char>(b[longo + 16]), 300 & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(b[longo + 17]), 1);
    // FPT header: next free block 16, block size 64
    const std::string m = read_file(dir.file("T1.fpt"));
    ASSERT_EQ(m.size(), 1024u);
    EXPECT_EQ(m.substr(0, 8), std::string("\0\0\0\x10\0\0\0\x40", 8));

    create_table(dir.file("PLAIN.DBF"), {{"A", 'C', 1, 0}});
    EXPECT_EQ(read_file(dir.file("PLAIN.DBF"))[0], '\x03');
}

TEST_F(DbfWrite, BadStructuresAreRefused) {
    EXPECT_THROW(create_table(dir.file("x"), {}), TableError);
    EXPECT_THROW(create_table(dir.file("x"), {{"NAME_TOO_LONG", 'C', 2, 0}}), TableError);
    EXPECT_THROW(create_table(dir.file("x"), {{"A", 'C', 513, 0}}), TableError);
    EXPECT_THROW(create_table(dir.file("x"), {{"A", 'X', 3, 0}}), TableError);
    EXPECT_THROW(create_table(dir.file("x"), {{"A", 'N', 5, 4}}), TableError);
}

TEST_F(DbfWrite, EveryFieldTypeRoundTripsAndRecordsLookLikeTheReference) {
    create_table(dir.file("T2"), all_types());
    {
        Table& t = ws.use(dir.file("t2"), {});
        ASSERT_TRUE(t.append_blank());
        t.put("NOME", Value("Açúcar"_cp));
        t.put("VALOR", Value(-10.5));
        EXPECT_THROW(t.put("QTD", Value(12345.0)), DataWidthError);   // does not fit N(4): left blank
        t.put("NASC", Value(Date::from_ymd(2000, 2, 29)));
        t.put("ATIVO", Value(true));
        t.put("TEXTO", Value(std::string("linha 1\r\nlinha 2")));
        t.put("LONGO", Value(std::string(255, 'A') + "\x80" + "fim"));
        ASSERT_TRUE(t.append_blank());   // left blank
        ASSERT_TRUE(t.append_blank());
        t.put("NOME", Value(std::string(30, 'x')));   // cut to the width
        t.put("TEXTO", Value(std::string(57, 'm')));  // two FPT blocks
        t.delete_record();
        t.commit();
        ws.close();
    }
    const std::string b = read_file(dir.file("T2.dbf"));
    const std::size_t hl = 32 + 32 * 7 + 2, rl = 356;
    ASSERT_EQ(b.size(), hl + 3 * rl + 1);
    EXPECT_EQ(le32(b, 4), 3u);
    EXPECT_EQ(b[hl], ' ');
    EXPECT_EQ(b.substr(hl + 21, 12), "      -10.50");
    EXPECT_EQ(b.substr(hl + 33, 4), "    ");
    EXPECT_EQ(b.substr(hl + 37, 8), "20000229");
    EXPECT_EQ(b.substr(hl + 45, 1), "T");
    EXPECT_EQ(b.substr(hl + 46, 10), "        16");   // first data block
    EXPECT_EQ(b.substr(hl + rl + 1, rl - 1), std::string(rl - 1, ' '));   // never assigned: blanks
    EXPECT_EQ(b[hl + 2 * rl], '*');
    EXPECT_EQ(b.substr(hl + 2 * rl + 46, 10), "        17");
    EXPECT_EQ(b.back(), '\x1A');
    const std::string m = read_file(dir.file("T2.fpt"));
    ASSERT_EQ(m.size(), 1024u + 64 + 128);
    EXPECT_EQ(m.substr(1024, 8), std::string("\0\0\0\x01\0\0\0\x10", 8));
    EXPECT_EQ(m.substr(0, 4), std::string("\0\0\0\x13", 4));   // next free 19

    Table& t = ws.use(dir.file("T2.DBF"), {});
    t.go_top();
    EXPECT_EQ(t.get("NOME").as_string(), std::string("A\x87" "\xa3" "car") + std::string(14, ' '));
    EXPECT_DOUBLE_EQ(t.get("VALOR").as_number(), -10.5);
    EXPECT_DOUBLE_EQ(t.get("QTD").as_number(), 0.0);
    EXPECT_EQ(t.get("NASC").as_date(), Date::from_ymd(2000, 2, 29));
    EXPECT_TRUE(t.get("ATIVO").as_bool());
    EXPECT_EQ(t.get("TEXTO").as_string(), "linha 1\r\nlinha 2");
    EXPECT_EQ(t.get("LONGO").as_string().substr(255, 4), "\x80" "fim");
    t.skip();
    EXPECT_EQ(t.recno(), 2u);
    EXPECT_DOUBLE_EQ(t.get("VALOR").as_number(), 0.0);
    EXPECT_TRUE(t.get("NASC").as_date().empty());
    EXPECT_FALSE(t.get("ATIVO").as_bool());
    EXPECT_EQ(t.get("TEXTO").as_string(), "");
    t.skip();
    EXPECT_TRUE(t.deleted());
    EXPECT_EQ(t.get("NOME").as_string(), std::string(20, 'x'));
    EXPECT_EQ(t.get("TEXTO").as_string(), std::string(57, 'm'));
    // a rewritten memo goes to new blocks: the old one stays whole until
    // the record points at the new one
    ASSERT_TRUE(t.rlock());
    t.put("TEXTO", Value(std::string("curto")));
    t.commit();
    EXPECT_EQ(t.raw_record().substr(46, 10), "        19");
    EXPECT_EQ(t.get("TEXTO").as_string(), "curto");
    // a type mismatch is an error, not a silent conversion
    EXPECT_THROW(t.put("VALOR", Value("12")), TableError);
    EXPECT_THROW(t.put("NASC", Value(1.0)), TableError);
}

TEST_F(DbfWrite, DbtMemosAreWrittenAndReadToTheFirstEndMark) {
    create_table(dir.file("D1"), {{"NOME", 'C', 10, 0}, {"TEXTO", 'M', 10, 0}}, MemoKind::Dbt);
    EXPECT_EQ(static_cast<unsigned char>(read_file(dir.file("D1.dbf"))[0]), 0x83);
    {
        Table& t = ws.use(dir.file("D1"), {});
        for (std::size_t len : {5u, 511u, 512u, 0u, 3u}) {
            ASSERT_TRUE(t.append_blank());
            t.put("TEXTO", Value(std::string(len, 'a' + static_cast<char>(len % 26))));
        }
        t.commit();
        ws.close();
    }
    const std::string m = read_file(dir.file("D1.dbt"));
    // blocks: 5 -> 1, 511 -> 2, 512 -> 3..4, 3 -> 5
    EXPECT_EQ(m.substr(512, 7), "fffff\x1A\x1A");
    EXPECT_EQ(static_cast<unsigned char>(m[3 * 512 - 1]), 0x1A);
    EXPECT_EQ(m.size(), 5u * 512 + 3 + 2);
    EXPECT_EQ(static_cast<unsigned char>(m[0]), 6);   // next free block
    Table& t = ws.use(dir.file("D1"), {});
    const std::vector<std::size_t> lens = {5, 511, 512, 0, 3};
    for (std::size_t i = 0; i < lens.size(); ++i) {
        t.go_to(static_cast<std::uint32_t>(i + 1));
        EXPECT_EQ(t.get("TEXTO").as_string().size(), lens[i]) << i;
    }
}

const char* kDbfRead = R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp850', load=True, ignore_missing_memofile=False)
print(len(t.records), len(t.deleted))
for f in t.fields:
    print(f.name, f.type, f.length, f.decimal_count)
for r in t.records:
    print('|'.join(repr(v) for v in r.values()))
)";

TEST_F(DbfWrite, AnIndependentReaderReadsWhatWeWrite) {
    if (!python_has("dbfread")) GTEST_SKIP() << "python3-dbfread not installed";
    create_table(dir.file("PY"), {{"NOME", 'C', 10, 0}, {"VALOR", 'N', 10, 2}, {"NASC", 'D', 8, 0},
                                  {"OK", 'L', 1, 0}, {"OBS", 'M', 10, 0}});
    {
        Table& t = ws.use(dir.file("PY"), {});
        ASSERT_TRUE(t.append_blank());
        t.put("NOME", Value("Jos\x82"));   // é in CP850
        t.put("VALOR", Value(1234.5));
        t.put("NASC", Value(Date::from_ymd(1980, 1, 31)));
        t.put("OK", Value(true));
        t.put("OBS", Value(std::string(100, 'z')));
        ASSERT_TRUE(t.append_blank());
        t.put("VALOR", Value(-0.25));
        ASSERT_TRUE(t.append_blank());
        t.delete_record();
        t.commit();
        ws.close();
    }
    const std::string out = run_python(kDbfRead, dir.file("PY.dbf"));
    const std::string want =
        "2 1\n"
        "NOME C 10 0\nVALOR N 10 2\nNASC D 8 0\nOK L 1 0\nOBS M 10 0\n"
        "'José'|1234.5|datetime.date(1980, 1, 31)|True|'" + std::string(100, 'z') + "'\n"
        "''|-0.25|None|None|None\n";
    EXPECT_EQ(out, want);
}

}  // namespace
}  // namespace qv::rt::table::test
