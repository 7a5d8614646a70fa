#include "agent/mail_command.h"

#include <gtest/gtest.h>

namespace {

TEST(MailCommandTest, QuotedProgramIsCutFromItsArguments) {
  EXPECT_EQ(MailProgramFromCommand(u"\"C:\\Program Files\\Mail\\mail.exe\" -mail \"%1\""),
            u"C:\\Program Files\\Mail\\mail.exe");
  EXPECT_EQ(MailProgramFromCommand(u"\"C:\\mail.exe\""), u"C:\\mail.exe");
  EXPECT_EQ(MailProgramFromCommand(u"\"C:\\mail.exe\" %1"), u"C:\\mail.exe");
  // Shortest program the closing-quote rule accepts: two units.
  EXPECT_EQ(MailProgramFromCommand(u"\"ab\""), u"ab");
}

TEST(MailCommandTest, UnquotedProgramGivesNothing) {
  EXPECT_EQ(MailProgramFromCommand(u"C:\\mail.exe -mail %1"), u"");
  // Quotes only around the argument: the path still cannot be told apart.
  EXPECT_EQ(MailProgramFromCommand(u"C:\\Program Files\\mail.exe -compose \"%1\""), u"");
  // A leading quote that is never closed.
  EXPECT_EQ(MailProgramFromCommand(u"\"C:\\mail.exe -mail %1"), u"");
}

TEST(MailCommandTest, ThreeUnitsOrFewerGiveNothing) {
  EXPECT_EQ(MailProgramFromCommand(u""), u"");
  EXPECT_EQ(MailProgramFromCommand(u"\""), u"");
  EXPECT_EQ(MailProgramFromCommand(u"\"\""), u"");
  EXPECT_EQ(MailProgramFromCommand(u"\"a\""), u"");
  // The closing quote is looked for from index 3 on only.
  EXPECT_EQ(MailProgramFromCommand(u"\"a\"x"), u"");
}

}  // namespace
