#pragma once
// A destination folder with its declaration tables open, and the helpers
// that write a declaration file into a source folder and convert it.
#include <filesystem>
#include <string>
#include <vector>

#include "converter/converter_routines.hpp"
#include "converter/destination_tables.hpp"
#include "converter/file_conversion.hpp"
#include "converter/table_rows.hpp"
#include "system/converter/declaration_writer.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"

namespace qv::test_support {

class ConverterTest : public FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        converter::register_converter_routines();
        source = root + "/source/";
        std::filesystem::create_directories(source);
        ASSERT_TRUE(converter::CRIA_BASE());
    }
    bool convert(const std::string& name, const std::string& bytes, int kind = converter::kFullImport) {
        write_file(source + name, bytes);
        return converter::FAZCONV(kind, source + name, report);
    }
    // The CPF's rows of a table, as their record numbers.
    std::vector<std::uint32_t> rows(int code, const std::string& cpf) {
        std::vector<std::uint32_t> out;
        auto& t = tables::ws().current(code);
        t.set_order(1);
        if (!t.seek(rt::Value(cpf))) return out;
        for (; !t.eof() && t.get("CPF").as_string() == cpf; t.skip(1)) out.push_back(t.recno());
        return out;
    }
    rt::Value field(int code, std::uint32_t recno, const char* name) {
        auto& t = tables::ws().current(code);
        t.go_to(recno);
        return t.get(name);
    }
    double amount(int code, std::uint32_t recno, const char* name) { return field(code, recno, name).as_number(); }
    std::string text(int code, std::uint32_t recno, const char* name) { return field(code, recno, name).as_string(); }

    // A second data folder with the CPF registered, listed after this one;
    // this folder stays the current one.
    std::string folder_with(const std::string& cpf, int status = 0) {
        const std::string here = tables::client_folder(), other = root + "/outra/";
        std::filesystem::create_directories(other);
        tables::ws().close_all();
        tables::set_client_folder(other);
        EXPECT_TRUE(converter::CRIA_BASE());
        auto& reg = converter::new_row(9, cpf);
        if (status != 0) reg.put("ESTATUS", rt::Value(status));
        reg.commit();
        tables::ws().close_all();
        tables::set_client_folder(here);
        EXPECT_TRUE(tables::ABERTURA(50));
        auto& list = tables::ws().current(50);
        for (const std::string& f : {here, other}) {
            tables::ws().select(50);
            EXPECT_TRUE(tables::ADD_REC(1));
            list.put("DIRETOR", rt::Value(f));
            list.put("SELEC", rt::Value(f == here ? "S" : "N"));
            list.unlock();
        }
        return other;
    }

    std::string source;
    std::vector<std::string> report;
};

}  // namespace qv::test_support
