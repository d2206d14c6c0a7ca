# Tests of what only POSIX systems have, left out of the run under Wine: file
# modes, symbolic links, two names that differ only in case, "*" in a name,
# a file replaced while it is open, a marker deleted or made a folder while the
# program holds it (Windows keeps it open), and counting a file's names (Wine
# counts one), and a device file (/dev/zero) to import.
# A gtest filter: patterns between ':'.
set(POSIX_ONLY_TESTS
  "HeadlessTest.TheWorkingFolderIsHomeWhenHomeNamesTheSameFolder"
  ":FileLayerTest.OwnChangesAreSeenAtOnceAndTwoNamesDifferingInCaseResolveExactly"
  ":FileModes.AReplacementKeepsTheModeAndAReadOnlyFileIsNotReplaced"
  ":FileModes.ALinkAtATemporaryNameIsNeverWrittenThrough"
  ":DiaryStoreTest.TheIndexListsOneIdentifiersPagesInDateOrder"
  ":FileLayerTest.AFileBeingReadCanBeReplaced"
  ":TextViewer.*"
  ":FileModes.WhatTheProgramMakesIsTheUsersAlone"
  ":StartUp.AStartRewritesNothingThatIsCurrent"
  ":StartUp.TheInstanceMarkerComesBackWhenDeleted"
  ":StartUp.ASecondCopyEndsSilently"
  ":StartUp.AFolderThatCannotBeLockedOrWrittenIsTold"
  ":Cases/CaseFolder.LeavesWhatItExpects/import_of_a_device_is_refused")
string(REPLACE ";" "" POSIX_ONLY_TESTS "${POSIX_ONLY_TESTS}")
