#pragma once

#include "output/FormModel.h"

namespace itm {

class RecordReader;

// The current records a printed form reads. The readers are not owned; a
// missing record (nullptr) prints its fields empty.
struct FormData
{
    const RecordReader* declaration = nullptr; // qryDeclaratii
    const RecordReader* payer = nullptr; // qryFirme
    const RecordReader* payerCounty = nullptr; // qryJudete, column denumire
    const RecordReader* liquidatorCounty = nullptr; // qryJudL, column denumire

    const RecordReader* reader(FormDataset dataset) const
    {
        switch (dataset) {
        case FormDataset::Declaration:
            return declaration;
        case FormDataset::Payer:
            return payer;
        case FormDataset::PayerCounty:
            return payerCounty;
        case FormDataset::LiquidatorCounty:
            return liquidatorCounty;
        }
        return nullptr;
    }
};

} // namespace itm
