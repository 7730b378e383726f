// The keys of a large table in exclusive use, read by several threads at
// once: each takes its own run of records and writes each record's keys
// into the record's own slot, so the blocks come out exactly as one pass
// would leave them. Only for tags whose keys come straight from the record
// bytes and that have no FOR condition (the keys of every record, in
// record order); anything else goes through the expression evaluator, which
// is not shared between threads.
#include <algorithm>
#include <exception>
#include <memory>
#include <numeric>
#include <thread>

#include "runtime/table/file_lock.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

namespace {

constexpr std::uint32_t kRecordsPerThread = 25000;
constexpr unsigned kMaxThreads = 4;

}  // namespace

bool Table::collect_keys_in_parallel(std::vector<KeyBlock>& blocks, const std::vector<Tag*>& tags) {
    const std::uint32_t n = reccount_;
    // Asking for the processor count reads a file: only for a big table.
    if (!exclusive_ || n / kRecordsPerThread < 2) return false;
    const unsigned threads = std::min({kMaxThreads, std::max(1u, std::thread::hardware_concurrency()),
                                       static_cast<unsigned>(n / kRecordsPerThread)});
    if (threads < 2) return false;
    const auto from_record_bytes = [](const Tag* t) {
        return t->cond.empty() && t->fast && t->fast->natural_type() == t->info.type &&
               t->info.type == KeyType::Character;
    };
    if (!std::all_of(tags.begin(), tags.end(), from_record_bytes)) return false;
    for (KeyBlock& b : blocks) {
        b.recs.resize(n);
        std::iota(b.recs.begin(), b.recs.end(), 1u);
    }
    const std::size_t len = header_.record_len;
    const int fd = fd_.get();
    std::vector<std::exception_ptr> errors(threads);
    auto work = [&](unsigned part) {
        try {
            const std::uint32_t first = static_cast<std::uint32_t>(std::uint64_t(n) * part / threads) + 1;
            const std::uint32_t last = static_cast<std::uint32_t>(std::uint64_t(n) * (part + 1) / threads);
            const std::uint32_t per = static_cast<std::uint32_t>(std::max<std::size_t>(1, (64u << 10) / len));
            const auto chunk = std::make_unique_for_overwrite<char[]>(std::size_t(per) * len);
            for (std::uint32_t r = first; r <= last;) {
                const std::uint32_t count = std::min(per, last - r + 1);
                const std::size_t bytes = std::size_t(count) * len;
                if (read_at(fd, chunk.get(), bytes, record_offset(r), path_) < bytes)
                    fail(path_, "truncated: records past " + std::to_string(r) + " are missing");
                for (std::size_t t = 0; t < tags.size(); ++t) {
                    KeyBlock& b = blocks[t];
                    char* out = b.bytes.data() + std::size_t(r - 1) * b.width;
                    for (std::uint32_t i = 0; i < count; ++i, out += b.width)
                        tags[t]->fast->eval_into(chunk.get() + std::size_t(i) * len, static_cast<int>(b.width), out);
                }
                r += count;
            }
        } catch (...) {
            errors[part] = std::current_exception();
        }
    };
    std::vector<std::jthread> pool;
    for (unsigned p = 1; p < threads; ++p) pool.emplace_back(work, p);
    work(0);
    pool.clear();   // joins
    for (const auto& e : errors)
        if (e) std::rethrow_exception(e);
    return true;
}

}  // namespace qv::rt::table
