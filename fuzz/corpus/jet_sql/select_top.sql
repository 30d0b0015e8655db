Select * From (
Select Top 30 * From Result_Data 
Where 
Bowler_Name = '鈴木'
And 
Play_Date <= '20241231' 
 And  Level_Name In ( Select Name From Level_Data Where CalculationTarget = True)
 Order By Play_Date DESC, PlayNumber DESC, Game_Number DESC
) Where TenthFrameScore = '200'
