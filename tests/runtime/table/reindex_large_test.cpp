// A large table rebuilt in exclusive use (keys read and sorted on several
// threads) must give the same orders as one record at a time: every key in
// place, ties in record order, FOR and UNIQUE tags alongside.
#include <algorithm>
#include <random>

#include "table_test_util.hpp"

namespace qv::rt::table::test {
namespace {

struct Large : WorkspaceTest {};

TEST_F(Large, ReindexAndIndexOnKeepEveryKeyInOrder) {
    constexpr int kRecords = 60000;
    create_table(dir.file("BIG.DBF"), {{"CPF", 'C', 11, 0}, {"NOME", 'C', 30, 0}});
    std::mt19937 rng(7);
    std::vector<std::pair<std::string, std::string>> rows;
    {
        Table& t = ws.use(dir.file("BIG"), OpenOptions{"", true, false, true});
        for (int i = 0; i < kRecords; ++i) {
            std::string cpf(11, '0'), nome = "nome " + std::to_string(rng() % 5000);   // many ties
            for (char& c : cpf) c = static_cast<char>('0' + rng() % 10);
            if (i % 1000 == 0) cpf = "00000000000";
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(cpf));
            t.put("NOME", Value(nome));
            nome.resize(30, ' ');
            for (char& c : nome) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            rows.emplace_back(cpf, nome);
        }
        t.index_on("CPF", "CPF");
        t.index_on("UPPER(NOME)", "NOME");
        IndexOptions uniq;
        uniq.unique = true;
        t.index_on("UPPER(NOME)", "UNICO", uniq);
        t.reindex();
        IndexOptions low;   // read one record at a time: it has a condition
        low.for_expr = "CPF < \"5\"";
        low.bag = dir.file("BIG2");
        t.index_on("CPF", "BAIXO", low);
        ws.close_all();
    }
    auto expected = [&](int which) {
        std::vector<std::pair<std::string, std::uint32_t>> v;
        for (std::uint32_t r = 1; r <= rows.size(); ++r) {
            const auto& [cpf, nome] = rows[r - 1];
            if (which == 4 && cpf >= "5") continue;
            v.emplace_back(which == 1 || which == 4 ? cpf : nome, r);
        }
        std::sort(v.begin(), v.end());
        if (which == 3)
            v.erase(std::unique(v.begin(), v.end(), [](auto& a, auto& b) { return a.first == b.first; }), v.end());
        std::vector<std::uint32_t> recs;
        for (const auto& p : v) recs.push_back(p.second);
        return recs;
    };
    Table& t = ws.use(dir.file("BIG"), {});
    t.add_bag(dir.file("BIG2"));
    for (int order = 1; order <= 4; ++order) {
        std::vector<std::uint32_t> walked;
        t.set_order(order);
        for (t.go_top(); !t.eof(); t.skip()) walked.push_back(t.recno());
        EXPECT_EQ(walked, expected(order)) << t.order_name(order);
    }
}

}  // namespace
}  // namespace qv::rt::table::test
