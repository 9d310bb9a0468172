#pragma once

// A month's declaration file as a medium holds it after many saves, for the
// benchmarks that merge into it.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace itm::bench {

// Payer number payer's line for March 2006, its bare name as given.
inline QByteArray SampleDeclarationLine(int payer, const QByteArray& name)
{
    return "\"03\",\"2006\"," + QByteArray::number(10000000 + payer) + ",1,\"" + name
        + "\",1,\"40\",\"BUCURESTI\",3,\"CALEA VICTORIEI\",\"10\",\" \",\" \",\" \",\"010101\",\"0211234567\","
          "\"office@firma.ro\",\"BANCA COMERCIALA ROMANA\",\"RO49AAAA1B31007593840000\",0,0,12,2000,15,15,0,0,"
          "\"POPESCU\",\"ION\",\"ADMINISTRATOR\",0,0,\" \",\" \",\" \",0,\" \",\" \",\" \",\" \",\" \",\" \","
          "\" \",\" \",0,0,0";
}

// root + "IM200603.txt" and its Rez copy, each with the lines of payers
// 0 .. payers - 1. False when they cannot be written.
inline bool WriteSampleDeclarationFiles(const QString& root, int payers)
{
    QByteArray content;
    for (int payer = 0; payer < payers; ++payer)
        content += SampleDeclarationLine(payer, "FIRMA " + QByteArray::number(payer)) + "\r\n";
    for (const QString& path : { root + "IM200603.txt", root + "Rez/IM200603.txt" }) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

} // namespace itm::bench
