#pragma once
// The timed loop of the export benchmarks: the vector file written into
// memory once per iteration; a failed export ends the benchmark with its
// message instead of timing nothing.

#include "export/VectorExport.h"
#include "model/BoxDocument.h"

#include <QBuffer>
#include <QByteArray>
#include <benchmark/benchmark.h>

namespace bench {

// The size of the last file written, in bytes.
inline qint64 timeExports(benchmark::State& state, BoxDocument& doc, const ExportOptions& o) {
    qint64 bytes = 0;
    for (auto _ : state) {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QString error;
        if (!writeVectorExport(doc, o, buffer, error)) {
            state.SkipWithError(error.toUtf8().constData());
            break;
        }
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    return bytes;
}

}  // namespace bench
