// SPDX-License-Identifier: GPL-3.0-or-later
#include "RobustSupport.h"

#include "TestSupport.h"

#include <map>

namespace ostelvia::test {

const std::vector<QString>& databaseNames()
{
    static const std::vector<QString> names{
        QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("SchedaStoricoClienti.mdb"),
        QStringLiteral("Comuni.mdb"),         QStringLiteral("CodiciVari.mdb"),
        QStringLiteral("NumeriCamere.mdb"),   QStringLiteral("PSWebAll.mdb")};
    return names;
}

std::vector<int> pagesOfType(const QByteArray& file, unsigned char type)
{
    std::vector<int> pages;
    for (int page = 1; (page + 1) * kJetPage <= file.size(); ++page) {
        if (static_cast<unsigned char>(file.at(page * kJetPage)) == type)
            pages.push_back(page);
    }
    return pages;
}

std::vector<int> mainTableDataPages(const QByteArray& file)
{
    std::map<quint32, std::vector<int>> byOwner;
    for (int page : pagesOfType(file, kDataPage)) {
        const auto* p = reinterpret_cast<const unsigned char*>(file.constData()) + qsizetype(page) * kJetPage + 4;
        byOwner[quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24].push_back(page);
    }
    std::vector<int> last;
    for (const auto& [owner, pages] : byOwner) {
        const qsizetype at = qsizetype(owner) * kJetPage;
        if (at < file.size() && static_cast<unsigned char>(file.at(at)) == kTableDefinitionPage)
            last = pages;
    }
    return last;
}

QByteArray overwritten(const QByteArray& file, int page, int offset, int length)
{
    QByteArray bytes = file;
    for (int i = 0; i < length; ++i)
        bytes[page * kJetPage + offset + i] = static_cast<char>(i % 2 ? 0x5A : 0xA5);
    return bytes;
}

std::vector<Damaged> wholeFileDamage(const QByteArray& file)
{
    std::vector<Damaged> cases{
        {QStringLiteral("empty"), QByteArray(), true},
        {QStringLiteral("plain text"), QByteArray("Scheda_Cliente;NomeCliente;ROSSI MARIO\r\n").repeated(200), true},
        {QStringLiteral("cut inside the header"), file.left(100), true},
        {QStringLiteral("cut inside page 1"), file.left(kJetPage + 1000), true},
    };
    // Cut at a page boundary: libmdb then reads pages that are not there,
    // which matters only when the run needs them.
    for (int pages :
         {1, 2, 3, 6, static_cast<int>(file.size() / kJetPage) / 2, static_cast<int>(file.size() / kJetPage) - 1})
        cases.push_back({QStringLiteral("cut after %1 pages").arg(pages), file.left(qsizetype(pages) * kJetPage)});
    return cases;
}

std::vector<Damaged> pageDamage(const QByteArray& file)
{
    std::vector<Damaged> cases;
    for (int page : pagesOfType(file, kDataPage)) {
        // Jet 4 data page: row count at 12, row offsets from 14.
        cases.push_back({QStringLiteral("row table of data page %1").arg(page), overwritten(file, page, 12, 16)});
        cases.push_back({QStringLiteral("owner of data page %1").arg(page), overwritten(file, page, 4, 4)});
    }
    for (int page : pagesOfType(file, kTableDefinitionPage)) {
        cases.push_back({QStringLiteral("row count of definition page %1").arg(page), overwritten(file, page, 16, 4)});
        cases.push_back({QStringLiteral("counts of definition page %1").arg(page), overwritten(file, page, 40, 24)});
        cases.push_back({QStringLiteral("type byte of definition page %1").arg(page), overwritten(file, page, 0, 1)});
    }
    return cases;
}

QByteArray expectedBytes(const QString& name)
{
    return readBytes(fixtureDir() + QStringLiteral("/expected/") + name);
}

}  // namespace ostelvia::test
