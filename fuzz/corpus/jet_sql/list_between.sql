Select * From Result_Data 
 Where Bowler_Name = 'A' And Play_Date Between '20240101' And '20241231' And Alley_Name in (Select Name From Alley_Data Where Home_Flag = False)
 Order By Play_Date, PlayNumber, Game_Number