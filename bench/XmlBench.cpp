// Reading product files: parsing and walking a layout-sized document.

#include "app/device/AttributeNumbers.h"
#include "app/store/XmlDocument.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::wstring LayoutLikeDocument(int keys) {
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<device.info><Keyboard><KeyItems>\n";
    for (int i = 0; i < keys; ++i) {
        text += L"<key code=\"0x" + std::to_wstring(4 + i % 200) + L"\" name=\"K" + std::to_wstring(i) +
                L"\" key_index=\"" + std::to_wstring(i) + L"\" row_col=\"3#12\" rect=\"10#20#30#40\"/>\n";
    }
    return text + L"</KeyItems></Keyboard></device.info>\n";
}

void BM_ParseAndWalkLayout(benchmark::State& state) {
    const std::wstring text = LayoutLikeDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        kw::XmlDocument doc(text);
        int sum = 0;
        doc.FindElem(L"device.info");
        doc.IntoElem();
        doc.FindElem(L"Keyboard");
        doc.IntoElem();
        doc.FindElem(L"KeyItems");
        doc.IntoElem();
        while (doc.FindElem(L"key")) {
            sum += kw::ParseHex(doc.GetAttrib(L"code")) + kw::ParseDecimal(doc.GetAttrib(L"key_index"));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseAndWalkLayout)->Arg(104)->Arg(2000);

} // namespace
