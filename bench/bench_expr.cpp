// Cost of evaluating compiled expressions over a table of 1,000,000 records:
// an index key "CPF+str(I7_0,4)" and a filter against variables.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "runtime/core/expr.hpp"
#include "runtime/core/fields.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

using namespace qv::rt;

namespace {

// One work area holding a table of two fields (CPF C 11, I7_0 N 4) in memory.
class MemoryTable : public FieldResolver {
public:
    explicit MemoryTable(std::size_t records) {
        cpf_.reserve(records);
        num_.reserve(records);
        for (std::size_t i = 0; i < records; ++i) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%011llu", static_cast<unsigned long long>(i * 7919 % 100000000000ULL));
            cpf_.emplace_back(buf);
            num_.push_back(static_cast<double>(i % 10000));
        }
    }
    std::size_t size() const { return cpf_.size(); }
    void go_to(std::size_t rec) { rec_ = rec; }

    int selected_area() const override { return 1; }
    int area_of_alias(std::string_view alias) const override { return alias == "CAD" ? 1 : 0; }
    int field_index(int area, std::string_view name) const override {
        if (area != 1) return -1;
        if (name == "CPF") return 0;
        if (name == "I7_0") return 1;
        return -1;
    }
    std::uint64_t generation(int) const override { return 1; }
    Value get_field(int, int index) const override {
        return index == 0 ? Value(cpf_[rec_]) : Value(num_[rec_]);
    }
    void put_field(int, int, const Value&) override {}

private:
    std::vector<std::string> cpf_;
    std::vector<double> num_;
    std::size_t rec_ = 0;
};

// Evaluates `text` once per record; returns ns per evaluation.
double run(MemoryTable& table, const char* text, std::uint64_t& checksum) {
    Expr e = Expr::compile(text);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t r = 0; r < table.size(); ++r) {
        table.go_to(r);
        Value v = e.eval();
        checksum += v.is_string() ? static_cast<unsigned char>(v.as_string()[v.as_string().size() - 1])
                                  : static_cast<std::uint64_t>(v.as_bool());
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / static_cast<double>(table.size());
}

// The same key computed by hand-written code, to tell the evaluator's own
// cost from that of the functions it calls.
double run_direct(MemoryTable& table, std::uint64_t& checksum) {
    FieldResolver& r = table;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < table.size(); ++i) {
        table.go_to(i);
        std::string key = r.get_field(1, 0).as_string() + STR(r.get_field(1, 1).as_number(), 4);
        checksum += static_cast<unsigned char>(key.back());
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / static_cast<double>(table.size());
}

}  // namespace

int main() {
    constexpr std::size_t kRecords = 1'000'000;
    MemoryTable table(kRecords);
    set_field_resolver(&table);
    variables().declare_public("CPF", "00000007919");

    std::uint64_t checksum = 0;
    const char* texts[] = {
        "CPF+str(I7_0,4)",
        "CPF == M->CPF .AND. I7_0 > 10",
        "UPPER(CAD->CPF)+DTOS(DATE())",
    };
    for (const char* text : texts) {
        run(table, text, checksum);   // warm-up
        double ns = run(table, text, checksum);
        std::printf("%-32s %8.1f ns per evaluation (%zu records)\n", text, ns, kRecords);
    }
    run_direct(table, checksum);
    std::printf("%-32s %8.1f ns per evaluation (%zu records)\n", "(hand-written CPF+STR(I7_0,4))",
                run_direct(table, checksum), kRecords);
    std::printf("checksum %llu\n", static_cast<unsigned long long>(checksum));
    set_field_resolver(nullptr);
    return 0;
}
