// Starting the updater from a C# application on Windows: update.exe lies
// beside the application, in the installation. It is started detached and
// out of the application's job, so that nothing that ends the application
// ends it. Process.Start cannot ask for the breakaway, so CreateProcess is
// called itself. Started again by the updater, the application learns the
// outcome.
// Build: csc StartUpdate.cs    Run: StartUpdate APP.EXE C:\Downloads\new.zip
//                                   StartUpdate    (as the updater starts it again)
using System;
using System.ComponentModel;
using System.Diagnostics;
using System.IO;
using System.Runtime.InteropServices;
using System.Text;

static class StartUpdate {
  const uint DetachedProcess = 0x00000008, CreateBreakawayFromJob = 0x01000000;
  const int ErrorAccessDenied = 5;

  [StructLayout(LayoutKind.Sequential, CharSet = CharSet.Unicode)]
  struct StartupInfo {
    public int cb;
    public string lpReserved, lpDesktop, lpTitle;
    public int dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
    public short wShowWindow, cbReserved2;
    public IntPtr lpReserved2, hStdInput, hStdOutput, hStdError;
  }

  [StructLayout(LayoutKind.Sequential)]
  struct ProcessInformation {
    public IntPtr hProcess, hThread;
    public int dwProcessId, dwThreadId;
  }

  [DllImport("kernel32.dll", CharSet = CharSet.Unicode, SetLastError = true)]
  static extern bool CreateProcessW(string application, StringBuilder commandLine, IntPtr processAttributes,
                                    IntPtr threadAttributes, bool inheritHandles, uint flags, IntPtr environment,
                                    string currentDirectory, ref StartupInfo startup, out ProcessInformation process);

  [DllImport("kernel32.dll")]
  static extern bool CloseHandle(IntPtr handle);

  // In double quotes as the C runtime splits a command line: backslashes
  // before the closing quote doubled.
  static string Quoted(string value) {
    int slashes = value.Length - value.TrimEnd('\\').Length;
    return "\"" + value + new string('\\', slashes) + "\"";
  }

  // Starts update.exe from this program's folder to install zipFile over that
  // folder, stopping and restarting exeName; throws Win32Exception if it cannot.
  public static void StartUpdater(string exeName, string zipFile) {
    string folder = AppDomain.CurrentDomain.BaseDirectory.TrimEnd('\\');
    string updater = Path.Combine(folder, "update.exe");
    string line = Quoted(updater) + " --exeName " + Quoted(exeName) + " --zipFile " + Quoted(zipFile) +
                  " --dstPath " + Quoted(folder);
    var startup = new StartupInfo { cb = Marshal.SizeOf(typeof(StartupInfo)) };
    ProcessInformation process;
    // No handle inherited; a job that allows no breakaway refuses the flag
    // (error 5): then it runs in the job, which must stay open until it ends.
    bool started = CreateProcessW(updater, new StringBuilder(line), IntPtr.Zero, IntPtr.Zero, false,
                                  DetachedProcess | CreateBreakawayFromJob, IntPtr.Zero, folder, ref startup,
                                  out process);
    if (!started && Marshal.GetLastWin32Error() == ErrorAccessDenied) {
      started = CreateProcessW(updater, new StringBuilder(line), IntPtr.Zero, IntPtr.Zero, false, DetachedProcess,
                               IntPtr.Zero, folder, ref startup, out process);
    }
    if (!started) throw new Win32Exception();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  // At start: when the updater started this program again, UPDATER_PID names
  // the updater, which is still writing its last lines, and UPDATER_LOG the
  // file they go to. Waits for that process to end (a minute at most) and
  // returns the last line of the file, the run's closing line (line 242 when
  // the update went well); null when this program was not started by the
  // updater.
  public static string UpdateOutcome() {
    string pid = Environment.GetEnvironmentVariable("UPDATER_PID");
    string log = Environment.GetEnvironmentVariable("UPDATER_LOG");
    if (string.IsNullOrEmpty(pid) || string.IsNullOrEmpty(log)) return null;
    try {
      using (Process updater = Process.GetProcessById(int.Parse(pid))) updater.WaitForExit(60 * 1000);
    } catch (Exception e) when (e is ArgumentException || e is InvalidOperationException || e is Win32Exception) {
      // It has ended already.
    }
    try {
      string[] lines = File.ReadAllLines(log);
      for (int i = lines.Length - 1; i >= 0; --i) {
        if (lines[i].Trim().Length > 0) return lines[i];
      }
    } catch (Exception e) when (e is IOException || e is UnauthorizedAccessException) {
    }
    return "";
  }

  static int Main(string[] args) {
    if (args.Length == 0) {
      string outcome = UpdateOutcome();
      if (outcome != null) {
        Console.WriteLine(outcome);
        return outcome.Contains("UpGrade/update 242 ") ? 0 : 1;
      }
    }
    if (args.Length != 2) {
      Console.Error.WriteLine("usage: StartUpdate APP.EXE ZIP");
      return 2;
    }
    StartUpdater(args[0], args[1]);
    // Exit now, or keep running: the updater stops the application either
    // way. How the update went is in the updater's log: the application
    // started again reads it (UpdateOutcome).
    return 0;
  }
}
