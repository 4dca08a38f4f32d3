// The primitives side by side with their references, on the same 1 MiB in one run: compare the
// bytes_per_second of each pair (ours / reference).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include <sys/resource.h>

#include "crypto/container.h"
#include "crypto/crc32.h"
#include "crypto/des.h"
#include "crypto/md5.h"
#include "crypto/padding.h"
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

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The container path of cryptFile on 64 MiB: one buffer of the container's size, the content read
// into it, sealed in place. Registered first, so the process's peak before it is the baseline;
// peak_ratio is the growth of the peak resident size over the content size.
void Container_64MiB(benchmark::State& state) {
    constexpr std::size_t kContent = 64 * kMiB;
    Data();
    static const long before = PeakRssKiB();  // once, so every repetition has the same baseline
    for (auto _ : state) {
        std::vector<std::uint8_t> buffer(dk::crypto::kContainerHeader + dk::crypto::PaddedLength(kContent));
        for (std::size_t at = 0; at < kContent; at += kMiB)
            std::memcpy(buffer.data() + dk::crypto::kContainerHeader + at, Data().data(), kMiB);
        dk::crypto::SealContainer(buffer.data(), buffer.size(), dk::crypto::DrawContainerKey());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["peak_ratio"] = static_cast<double>(PeakRssKiB() - before) * 1024 / kContent;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kContent));
}

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

BENCHMARK(Container_64MiB)->Iterations(3);
BENCHMARK(DesEcb_Ours);
BENCHMARK(DesEcb_OpenSsl);
BENCHMARK(Md5_Ours);
BENCHMARK(Md5_OpenSsl);
BENCHMARK(Crc32_Ours);
BENCHMARK(Crc32_Zlib);

}  // namespace

BENCHMARK_MAIN();
