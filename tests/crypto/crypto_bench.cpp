// The primitives side by side with their references, on the same 1 MiB in one run: compare the
// bytes_per_second of each pair (ours / reference).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include "crypto/crc32.h"
#include "crypto/des.h"
#include "crypto/md5.h"
#include "oracles.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

const dk::test::Bytes& Data() {
    static const dk::test::Bytes data = [] {
        std::mt19937 rng(41);
        return dk::test::RandomBytes(rng, kMiB);
    }();
    return data;
}

const std::uint8_t kKey[16] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1, 1, 2, 3, 4, 5, 6, 7, 8};

void DesEcb_Ours(benchmark::State& state) {
    dk::test::Bytes buffer = Data();
    for (auto _ : state) {
        dk::crypto::DesEcbCryptPieces(buffer.data(), buffer.size(), kKey, dk::crypto::kEncipher);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

void DesEcb_OpenSsl(benchmark::State& state) {
    dk::test::Bytes buffer = Data();
    dk::test::OpenSslDes des(kKey, true);
    for (auto _ : state) {
        des.Run(buffer.data(), buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

void Md5_Ours(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            dk::crypto::Md5Digest(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

void Md5_OpenSsl(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state) benchmark::DoNotOptimize(dk::test::OpenSslMd5(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

void Crc32_Ours(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state) benchmark::DoNotOptimize(dk::crypto::Crc32(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

void Crc32_Zlib(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state) benchmark::DoNotOptimize(crc32(0, data.data(), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}

BENCHMARK(DesEcb_Ours);
BENCHMARK(DesEcb_OpenSsl);
BENCHMARK(Md5_Ours);
BENCHMARK(Md5_OpenSsl);
BENCHMARK(Crc32_Ours);
BENCHMARK(Crc32_Zlib);

}  // namespace

BENCHMARK_MAIN();
