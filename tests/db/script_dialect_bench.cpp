// Throughput of script preparation on large scripts: MySQL (comments, statement ends, split at ';',
// rewrite) and SQL Server (the same with "GO" lines). Sizes 10 and 50 MiB; the complexity fit
// shows whether time grows linearly with the text.
#include <benchmark/benchmark.h>

#include <string>

#include "db/script_dialect.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// About 105 bytes per statement: 500 000 statements in 50 MiB, with a comment every tenth,
// markers for other engines, placeholders and statement-end markers.
std::string MakeScript(std::size_t size, bool sqlserver) {
    std::string text;
    text.reserve(size + 256);
    for (long i = 0; text.size() < size; ++i) {
        if (i % 10 == 0) text += "/* block " + std::to_string(i) + " */\n";
        if (i % 7 == 0) text += sqlserver ? "$MYSQL_ONLY$" : "$SQL_ONLY$";
        text += "INSERT INTO t_items (id, name, kind) VALUES (";
        text += std::to_string(i);
        text += ", 'line[[[CRLF]]]next', 'k')";
        if (i % 5 == 0) text += "/* [[[LIKE]]] */";
        if (i % 11 == 0) text += "$END_ROW$";
        if (i % 3 == 0)
            text += "$END_STATEMENT$\n";
        else
            text += sqlserver ? "\nGO\n" : ";\n";
    }
    return dk::db::ScriptTextFromBytes(text);
}

void BM_PrepareMySql(benchmark::State& state) {
    const std::string script = MakeScript(static_cast<std::size_t>(state.range(0)) * kMiB, false);
    std::size_t statements = 0;
    for (auto _ : state) {
        // The runner hands over the text it loaded; copying the sample is not part of the work.
        state.PauseTiming();
        std::string text = script;
        state.ResumeTiming();
        auto prepared = dk::db::PrepareMySqlScript(std::move(text));
        statements = prepared.size();
        benchmark::DoNotOptimize(prepared.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * script.size()));
    state.SetComplexityN(static_cast<int64_t>(script.size()));
    state.counters["statements"] = static_cast<double>(statements);
}

void BM_PrepareSqlServer(benchmark::State& state) {
    const std::string script = MakeScript(static_cast<std::size_t>(state.range(0)) * kMiB, true);
    std::size_t statements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = script;
        state.ResumeTiming();
        dk::db::StripBlockComments(text);
        dk::db::ConvertStatementEnds(text, dk::db::kSqlServer);
        std::string rewritten;
        statements = 0;
        for (std::string_view statement : dk::db::SplitAtBatchSeparators(text))
            if (dk::db::RewriteForDialect(statement, rewritten, dk::db::kSqlServer) == dk::db::kSqlServer)
                ++statements;
        benchmark::DoNotOptimize(rewritten.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * script.size()));
    state.SetComplexityN(static_cast<int64_t>(script.size()));
    state.counters["statements"] = static_cast<double>(statements);
}

BENCHMARK(BM_PrepareMySql)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_PrepareSqlServer)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
