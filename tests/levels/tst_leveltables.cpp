// The level tables: the rows the level list shows and where each level's layout starts.

#include "levels/leveltables.h"

#include <QTest>

class TestLevelTables : public QObject {
    Q_OBJECT

  private slots:
    void rows_data();
    void rows();
    void unknownGame_data();
    void unknownGame();
    void clearKeepsFirstEntry();
};

void TestLevelTables::rows_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");

    struct Row {
        const char *sonic1;
        int offset1;
        const char *sonic2;
        int offset2;
    };
    // Row 11 and 13 of Sonic 1 and every Sonic 2 offset are the true layout starts, behind the
    // record that closes the layout before.
    const Row rows[LevelCount] = {
        {"0 - Green Hill 1", 0x6B096, "0 - Emerald Hill 1", 0xE684A},
        {"1 - Green Hill 2", 0x6B5A0, "1 - Emerald Hill 2", 0xE6B7A},
        {"2 - Green Hill 3", 0x6BB5E, "2 - Metropolis 1", 0xE6F34},
        {"3 - Labyrinth 1", 0x6C218, "3 - Metropolis 2", 0xE73C0},
        {"4 - Labyrinth 2", 0x6C686, "4 - Metropolis 3", 0xE78EE},
        {"5 - Labyrinth 3", 0x6C9C8, "5 - Wing Fortress", 0xE7F48},
        {"6 - Labyrinth 4", 0x6CFAA, "6 - Hill Top 1", 0xE8302},
        {"7 - Marble 1", 0x6D592, "7 - Hill Top 2", 0xE8668},
        {"8 - Marble 2", 0x6D8FE, "8 - Hidden Palace", 0xE8C80},
        {"9 - Marble 3", 0x6DDA8, "9 - Oil Ocean 1", 0xE8DA0},
        {"10 - Star Light 1", 0x6E31E, "10 - Oil Ocean 2", 0xE9214},
        {"11 - Star Light 2", 0x6E85E, "11 - Mystic Cave 1", 0xE968E},
        {"12 - Star Light 3", 0x6ECC6, "12 - Mystic Cave 2", 0xE99A0},
        {"13 - Spring Yd 1", 0x6F2A8, "13 - Carnival Night 1", 0xE9D1E},
        {"14 - Spring Yd 2", 0x6F734, "14 - Carnival Night 2", 0xEA3D8},
        {"15 - Spring Yd 3", 0x6FC9E, "15 - Chemical Plant 1", 0xEA9D2},
        {"16 - Scrap Brn 1", 0x702A4, "16 - Chemical Plant 2", 0xEAD6E},
        {"17 - Scrap Brn 2", 0x709E2, "17 - Death Egg", 0xEB230},
        {"18 - Scrap Brn 3", 0x710C0, "18 - Aquatic Ruin 1", 0xEB25A},
        {"19 - Good Ending", 0x710D2, "19 - Aquatic Ruin 2", 0xEB6A4},
        {"20 - Bad Ending", 0x71204, "20 - Sky Chase Zone", 0xEBBDE},
    };
    for (int r = 0; r < LevelCount; ++r) {
        QTest::addRow("Sonic 1 row %d", r) << 1 << r << rows[r].sonic1 << rows[r].offset1;
        QTest::addRow("Sonic 2 row %d", r) << 2 << r << rows[r].sonic2 << rows[r].offset2;
    }
}

void TestLevelTables::rows() {
    QFETCH(int, game);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(int, offset);

    const QStringList names = levelNames(game);
    QCOMPARE(names.size(), LevelCount);
    QCOMPARE(names.at(row), text);

    // Filled over the other game's table, so every entry must be written.
    LevelAddressTable table;
    loadAddresses(table, 3 - game);
    loadAddresses(table, game);
    QCOMPARE(table[row], offset);
}

void TestLevelTables::unknownGame_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("-1") << -1;
}

void TestLevelTables::unknownGame() {
    QFETCH(int, code);
    QVERIFY(levelNames(code).isEmpty());

    LevelAddressTable table;
    loadAddresses(table, 1);
    loadAddresses(table, code);
    QCOMPARE(table[0], 0x6B096);
    for (int r = 1; r < LevelCount; ++r)
        QCOMPARE(table[r], NoLevel);
}

void TestLevelTables::clearKeepsFirstEntry() {
    LevelAddressTable table;
    table.fill(1234);
    clrAdd(table);
    QCOMPARE(table[0], 1234);
    for (int r = 1; r < LevelCount; ++r)
        QCOMPARE(table[r], -1);
}

QTEST_MAIN(TestLevelTables)
#include "tst_leveltables.moc"
