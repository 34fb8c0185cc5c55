#include "platform/time/Calendar.h"
#include "Horalis/model/ProgressCalculator.h"
#include "platform/time/CurrentCalendar.h"
#include "platform/time/SystemTimeZone.h"
#include "support/Files.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>
#include <sys/stat.h>

namespace {
// The first moment of the local date an instant falls on; none where no date names it.
std::optional<double> startOfDay(const Calendar& calendar, double instant)
{
    const auto day = calendar.localDay(instant);
    return day ? calendar.startOfLocalDay(*day) : std::nullopt;
}
} // namespace

TEST(CurrentCalendar, LocaleComesFromTheDateLocaleOfTheEnvironment)
{
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("th_TH.UTF-8"), "th_TH");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("he_IL.UTF-8@calendar=hebrew"),
              "he_IL@calendar=hebrew");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("de_DE@euro"), "de_DE");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("C.UTF-8"), "en_US_POSIX");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("POSIX"), "en_US_POSIX");

    ScopedEnv lang("LANG", "fa_IR.UTF-8");
    ScopedEnv time("LC_TIME", "th_TH.UTF-8");
    {
        ScopedEnv all("LC_ALL", "");
        EXPECT_EQ(CurrentCalendar::userLocaleId(), "th_TH"); // an empty LC_ALL does not count
    }
    ScopedEnv all("LC_ALL", "he_IL.UTF-8@calendar=hebrew");
    EXPECT_EQ(CurrentCalendar::userLocaleId(), "he_IL@calendar=hebrew");
    // 2024-03-11 lies in 5784, a Hebrew leap year of 383 days.
    const Calendar hebrew = CurrentCalendar().calendar();
    const auto year = hebrew.spanOf(Calendar::Unit::Year, *hebrew.localDay(utc(2024, 3, 11)));
    ASSERT_TRUE(year);
    EXPECT_EQ(year->days, 383);
}

TEST(CurrentCalendar, ZoneIsReadFromTzAsTheCLibraryReadsIt)
{
    CurrentCalendar current;
    // Where 2026-07-01 noon UTC falls, its local day starts.
    const double noon = utc(2026, 7, 1, 12);
    const struct
    {
        const char* tz;
        double dayStart;
    } cases[] = {
        {"America/New_York", utc(2026, 7, 1, 4)},
        {":/usr/share/zoneinfo/Asia/Tokyo", utc(2026, 6, 30, 15)},
        {"", utc(2026, 7, 1)},
        {":", utc(2026, 7, 1)}, // UTC to the C library too, not the system default
        {"JST-9", utc(2026, 6, 30, 15)},
        {"<-0130>1:30", utc(2026, 7, 1, 1, 30)},
        {"Not/AZone", utc(2026, 7, 1)}, // neither a file nor a rule: UTC
    };
    for (const auto& c : cases) {
        ScopedEnv tz("TZ", c.tz);
        EXPECT_EQ(startOfDay(current.calendar(), noon), c.dayStart) << c.tz;
    }
}

// The C library's local time for `instant` under the TZ value `tz`.
static long cLibraryOffset(const char* tz, time_t instant)
{
    ScopedEnv variable("TZ", tz);
    ::tzset();
    struct tm local
    {};
    ::localtime_r(&instant, &local);
    return local.tm_gmtoff;
}

TEST(SystemTimeZone, OffsetsEqualTheCLibrarysForRulesPathsAndNames)
{
    const char* const values[] = {
        "JST-9",
        "<+0330>-3:30",
        "CET-1CEST,M3.5.0,M10.5.0/3",
        "EST5EDT",                            // a file, and a rule with the US dates
        "<-03>3<-02>,M10.1.0/0,M2.3.0/0",     // southern: daylight time across new year
        "IST-2IDT,M3.4.4/26,M10.5.0",         // a change past midnight of the next day
        "<-02>2<-01>,M3.5.0/-1,M10.5.0/0",    // a change before midnight
        "<+0330>-3:30<+0430>,J79/24,J263/24", // Julian days, 29 February never counted
        "XXX5YYY4,59/2,300/2",                // zero-based days, 29 February counted
        "/usr/share/zoneinfo/Australia/Lord_Howe",
        ":Europe/Dublin",
        "America/Sao_Paulo",
        "NZST-12NZDT,M6.5.0,M1.1.1/3", // ends in the first hours of January, UTC's December
        "EST5EDT,0/0,J365/25",         // daylight time all year, as RFC 8536 writes it
        "AAA3BBB2,J100/2,J100/3",      // starts and ends at the same instant: never daylight
    };
    for (const char* value : values) {
        const auto zone = SystemTimeZone::load(std::string(value));
        for (int year : {1999, 2024, 2026, 2053}) {
            for (double t = utc(year, 1, 1); t < utc(year + 1, 1, 1); t += 7 * kHour + 13)
                ASSERT_EQ(zone->offsetAt(static_cast<int64_t>(t)),
                          cLibraryOffset(value, static_cast<time_t>(t)))
                    << value << " at " << static_cast<int64_t>(t);
        }
    }
    ::tzset();
}

TEST(SystemTimeZone, PinningTheCLibraryLeavesTheShownZoneTheUsers)
{
    ScopedEnv tz("TZ", "Asia/Tokyo");
    SystemTimeZone::pinCLibraryZone();
    EXPECT_STREQ(std::getenv("TZ"), "UTC0") << "the C library reads no zone file";
    SystemTimeZone zone;
    EXPECT_EQ(zone.current()->name(), "Asia/Tokyo");
    EXPECT_EQ(cLibraryOffset("UTC0", 0), 0);
}

TEST(SystemTimeZone, AnUpdatedZoneFileShowsAtTheNextLookUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString zoneFile = dir.filePath(QStringLiteral("Test/Zone"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Test"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/usr/share/zoneinfo/Asia/Tokyo"), zoneFile));
    ScopedEnv tzDir("TZDIR", dir.path().toStdString());
    ScopedEnv tz("TZ", "Test/Zone");

    const double noon = utc(2026, 7, 1, 12);
    ProgressCalculator calculator([noon] { return noon; });
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 21.0 / 24.0); // 21:00 in Tokyo

    // As a package upgrade writes it: a new file renamed over the old one.
    const QString next = zoneFile + QStringLiteral(".new");
    ASSERT_TRUE(QFile::copy(QStringLiteral("/usr/share/zoneinfo/America/Mexico_City"), next));
    ASSERT_EQ(::rename(next.toLocal8Bit().constData(), zoneFile.toLocal8Bit().constData()), 0);
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 6.0 / 24.0) << "06:00 in Mexico City";

    CurrentCalendar current;

    // A file in place of the zone that is no zone file: the C library's UTC, no crash.
    QFile broken(zoneFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("TZif2 but nothing else");
    broken.close();
    EXPECT_EQ(startOfDay(current.calendar(), noon), utc(2026, 7, 1));

    // A FIFO in its place: read without waiting for a writer that never comes.
    ASSERT_TRUE(QFile::remove(zoneFile));
    ASSERT_EQ(::mkfifo(zoneFile.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(startOfDay(current.calendar(), noon), utc(2026, 7, 1));
}

TEST(PosixTimeZoneRule, EachDayStartsAtTheFirstMomentItsLocalTimeIsReached)
{
    // Checked against a walk over every minute, with offsets checked against the C library
    // above: the spans of one offset must not miss a change, a new year's included.
    for (const char* text :
         {"NZST-12NZDT,M6.5.0,M1.1.1/3", "EST5EDT,0/0,J365/25", "<-03>3<-02>,M10.1.0/0,M2.3.0/0",
          "CET-1CEST,M3.5.0,M10.5.0/3", "AAA3BBB2,J100/2,J100/3"}) {
        const auto rule = PosixTimeZoneRule::parse(text);
        ASSERT_TRUE(rule) << text;
        const auto zone = ZoneRules::fromRule(text, *rule);
        for (int year : {2023, 2024, 2025}) {
            for (const auto& [month, day] : {std::pair{1, 1}, {1, 2}, {3, 30}, {6, 30}, {12, 31}}) {
                const int64_t midnight = daysFromCivil(year, month, day) * 86400LL;
                int64_t first = midnight - 27 * 3600;
                while (first + zone->offsetAt(first) < midnight)
                    first += 60;
                EXPECT_EQ(zone->firstMomentOf(midnight), first)
                    << text << " " << year << "-" << month << "-" << day;
            }
        }
    }
}

TEST(ZoneRules, ReadsMoreThan128LocalTimeTypes)
{
    // A version 2 file: an empty 32-bit block, then 200 types a minute apart and one
    // transition to type 150, whose index byte has its top bit set.
    const auto bigEndian = [](int64_t value, int bytes) {
        QByteArray out;
        for (int i = bytes - 1; i >= 0; --i)
            out += static_cast<char>((value >> (8 * i)) & 0xff);
        return out;
    };
    const auto header = [&](int transitions, int types, int abbreviationBytes) {
        return QByteArray("TZif2") + QByteArray(15, '\0') + bigEndian(0, 4) + bigEndian(0, 4) +
               bigEndian(0, 4) + bigEndian(transitions, 4) + bigEndian(types, 4) +
               bigEndian(abbreviationBytes, 4);
    };
    const int64_t change = 1'700'000'000;
    QByteArray file = header(0, 1, 4) + bigEndian(0, 4) + QByteArray(2, '\0') + "ABC" + '\0';
    file += header(1, 200, 4) + bigEndian(change, 8) + static_cast<char>(150);
    for (int type = 0; type < 200; ++type)
        file += bigEndian(type * 60, 4) + '\0' + '\0';
    file += QByteArray("ABC") + '\0' + "\n\n";

    const auto zone = ZoneRules::fromTzif("Many/Types", file.toStdString());
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->offsetAt(change - 1), 0);
    EXPECT_EQ(zone->offsetAt(change), 150 * 60);
    // And as the C library reads the same file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many"));
    ASSERT_TRUE(writeFileText(path, file));
    EXPECT_EQ(cLibraryOffset((":" + path).toStdString().c_str(), change), 150 * 60);
    ::tzset();

    // Any version but the first's keeps its data in the second block, as the C library reads
    // it, even an unknown one.
    file[4] = '1';
    const auto versionOne = ZoneRules::fromTzif("Many/Types", file.toStdString());
    ASSERT_TRUE(versionOne);
    EXPECT_EQ(versionOne->offsetAt(change), 150 * 60);
}

TEST(ZoneRules, RejectsTruncatedAndInconsistentFiles)
{
    QFile tokyo(QStringLiteral("/usr/share/zoneinfo/Asia/Tokyo"));
    ASSERT_TRUE(tokyo.open(QIODevice::ReadOnly));
    const QByteArray bytes = tokyo.readAll();
    ASSERT_TRUE(ZoneRules::fromTzif("Asia/Tokyo", bytes.toStdString()));
    for (qsizetype cut = 0; cut < bytes.size() - 8; cut += 7)
        EXPECT_FALSE(ZoneRules::fromTzif("cut", bytes.left(cut).toStdString())) << cut;
    QByteArray hugeCount = bytes;
    hugeCount[32] = '\x7f'; // the transition count of the first header
    EXPECT_FALSE(ZoneRules::fromTzif("huge", hugeCount.toStdString()));

    // Broken where the C library finds them broken too: a daylight flag other than 0 or 1,
    // a name past the names, a file that ends without its footer.
    const qsizetype types = bytes.lastIndexOf("TZif") + 44 + 9 * 9; // Tokyo's 9 transitions
    QByteArray flag = bytes, name = bytes;
    flag[types + 4] = '\x90';
    name[types + 5] = '\xc8';
    EXPECT_FALSE(ZoneRules::fromTzif("flag", flag.toStdString()));
    EXPECT_FALSE(ZoneRules::fromTzif("name", name.toStdString()));
    QByteArray undated = bytes.chopped(1) + "JDT\n"; // "JST-9JDT": daylight time, no dates
    EXPECT_FALSE(ZoneRules::fromTzif("undated", undated.toStdString()));
    EXPECT_FALSE(ZoneRules::fromTzif(
        "footer",
        bytes.chopped(bytes.size() - bytes.lastIndexOf('\n', bytes.size() - 2)).toStdString()));
    // Any version but the first's has its data in the second block, as the C library reads it.
    QByteArray version = bytes;
    version[4] = '1';
    const auto zone = ZoneRules::fromTzif("version", version.toStdString());
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->offsetAt(static_cast<int64_t>(utc(2026, 1, 1))), 9 * 3600);
}

TEST(Calendar, StartOfDayIsTheFirstMomentOfTheLocalDate)
{
    const Calendar newYork("en_US", "America/New_York");
    // 2026-03-08 starts at 00:00 EST (05:00 UTC) although the day has only 23 hours.
    EXPECT_EQ(startOfDay(newYork, utc(2026, 3, 8, 16)), utc(2026, 3, 8, 5));
    EXPECT_EQ(newYork.startOfLocalDay(*newYork.localDay(utc(2026, 3, 8, 16)) + 1),
              utc(2026, 3, 9, 4));
    // (Every zone's clock changes are checked against Python's zoneinfo by the reference
    // test; here only what it cannot ask.)

    EXPECT_FALSE(startOfDay(newYork, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(startOfDay(newYork, 1e300));
    EXPECT_EQ(newYork.weekday(1e300), 0);
}

TEST(Calendar, MonthsAndYearsAreSpansOfLocalDates)
{
    const Calendar tokyo("ja_JP", "Asia/Tokyo");
    const int64_t day = *tokyo.localDay(utc(2026, 7, 14, 3));
    EXPECT_EQ(day, daysFromCivil(2026, 7, 14));
    EXPECT_EQ(tokyo.weekday(utc(2026, 7, 14, 3)), 3); // a Tuesday
    const auto month = tokyo.spanOf(Calendar::Unit::Month, day);
    EXPECT_EQ(month->firstDay, daysFromCivil(2026, 7, 1));
    EXPECT_EQ(month->days, 31);

    Calendar copy = tokyo;
    copy.setFirstWeekday(7);
    EXPECT_EQ(copy.firstWeekday(), 7);
    EXPECT_NE(tokyo.firstWeekday(), 7) << "a copy must not share its settings";
    copy.setFirstWeekday(9);
    EXPECT_EQ(copy.firstWeekday(), 7) << "out-of-range weekdays are ignored";
}
