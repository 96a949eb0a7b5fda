# Writes the release notes of CHANGELOG.md where the package wants them: Debian's changelog,
# compressed as Debian keeps it, and the AppStream metainfo from its template.
#   cmake -DCHANGELOG=... -DRELEASE_NOTES=... -DPACKAGE=... -DMAINTAINER=... -DTEMPLATE=...
#         -DPETREL_APP_ID=... -DPETREL_HOMEPAGE=... -DCHANGELOG_GZ=... -DMETAINFO=...
#         -P release_files.cmake
execute_process(
  COMMAND bash ${RELEASE_NOTES} debian ${CHANGELOG} ${PACKAGE} ${MAINTAINER}
  OUTPUT_FILE ${CHANGELOG_GZ}.txt RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${CHANGELOG} could not be turned into Debian's changelog")
endif()
execute_process(COMMAND gzip -9n -c ${CHANGELOG_GZ}.txt OUTPUT_FILE ${CHANGELOG_GZ}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${CHANGELOG_GZ}.txt")
endif()

execute_process(COMMAND bash ${RELEASE_NOTES} appstream ${CHANGELOG}
  OUTPUT_VARIABLE PETREL_RELEASES RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${CHANGELOG} could not be turned into AppStream releases")
endif()
configure_file(${TEMPLATE} ${METAINFO} @ONLY)
